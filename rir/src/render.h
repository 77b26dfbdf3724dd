// Conversions that only printf can spell exactly, rendered by printf.
#pragma once

#include <cstdint>

#include "arg_list.h"
#include "argument.h"
#include "format_parser.h"

namespace xoltlog::rir {

// Exactly what snprintf prints for this one conversion and its argument,
// with '*' amounts written out; XOLT_RIR_EFAIL when snprintf fails (say a
// wide character the locale cannot represent). Throws std::bad_alloc.
std::int32_t render_conversion(const Conversion& conversion, const Argument& argument,
                               int saved_errno, TextPtr& text);

}  // namespace xoltlog::rir
