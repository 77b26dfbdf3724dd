#include "message/code_page_text.h"

#include <cstdlib>
#include <utility>

#include "platform/code_page.h"
#include "platform/text_convert.h"
#include "xoltlog/result.h"

namespace xoltlog {
namespace {

constexpr std::size_t kNoForm = static_cast<std::size_t>(-1);

// The two-call pattern of the C library's converters: measure with no
// destination, then convert into length + 1 units.
template <typename Out, typename In, typename Convert>
std::uint32_t convert_with_locale(BlockPtr<Out>& out, const In* text, Convert convert) noexcept {
  const std::size_t length = convert(nullptr, text, 0);
  if (length == kNoForm) {
    return XOLTLOG_E_FAILED;
  }
  BlockPtr<Out> buffer(static_cast<Out*>(allocate((length + 1) * sizeof(Out))));
  if (!buffer) {
    return XOLTLOG_E_NO_MEMORY;
  }
  if (convert(buffer.get(), text, length + 1) != length) {
    return XOLTLOG_E_FAILED;
  }
  buffer.get()[length] = Out{};
  out = std::move(buffer);
  return XOLTLOG_OK;
}

// The platform conversions report an ill-formed text as 1 already; the
// code-page variants would say 3, which here means the same.
std::uint32_t as_conversion_result(std::uint32_t result) noexcept {
  return result == XOLTLOG_OK || result == XOLTLOG_E_NO_MEMORY ? result
                                                               : std::uint32_t{XOLTLOG_E_FAILED};
}

}  // namespace

std::uint32_t wide_to_code_page(BlockPtr<char>& out, const wchar_t* text) noexcept {
  if (platform::code_page_is_utf8()) {
    return as_conversion_result(platform::wide_to_utf8(out, text));
  }
  return convert_with_locale(out, text, [](char* to, const wchar_t* from, std::size_t count) {
    return std::wcstombs(to, from, count);
  });
}

std::uint32_t code_page_to_wide(BlockPtr<wchar_t>& out, const char* text) noexcept {
  if (platform::code_page_is_utf8()) {
    return as_conversion_result(platform::utf8_to_wide(out, text, -1));
  }
  return convert_with_locale(out, text, [](wchar_t* to, const char* from, std::size_t count) {
    return std::mbstowcs(to, from, count);
  });
}

}  // namespace xoltlog
