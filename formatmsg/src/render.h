// What LogFormatMessage produces for each selector, as C++ that may throw
// std::bad_alloc; exports.cpp turns that into result codes.
#pragma once

#include <optional>
#include <string>

#include "xoltlog/handle.h"
#include "xoltlog/message.h"

namespace xoltlog::fmt {

// The message's text: the record's text when set, else its Rir message
// rendered with the catalogs that the handle's (or the product's)
// localization settings name, for locale (null: the process's LC_MESSAGES
// locale).
std::string message_text(const XoltLogMsg& msg, const XoltLogHandle* handle, const char* locale);

// The text for selector, or nothing for an unknown selector.
std::optional<std::string> render(const XoltLogMsg& msg, const XoltLogHandle* handle,
                                  const char* locale, std::uint32_t selector);

}  // namespace xoltlog::fmt
