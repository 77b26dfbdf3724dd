// One argument of a Rir message as a wide string of its own, as the event
// log takes catalog messages: one insertion string per argument.
#pragma once

#include <cstdint>

#include "platform/heap.h"
#include "xoltlog/rir.h"

namespace xoltlog {

// Renders the argument it stands on into a new wide string from allocate();
// the forms are those of xoltLogGetArg_asStringW (xoltlog/text_render.h).
// Results: 0; 1 when the type or value cannot be read, the type is 9 or
// above 11, or a string does not convert (a code-page string converting to
// nothing among them); 4 when memory runs out. out is left as it was on
// failure.
std::uint32_t argument_as_wide(const XoltRirArgIter& it, BlockPtr<wchar_t>& out) noexcept;

}  // namespace xoltlog
