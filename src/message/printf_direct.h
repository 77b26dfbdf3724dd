// The commonest printf-style formats rendered without printf: literal text,
// "%%", and plain %s, %d, %i and %u conversions (no flags, width or
// precision; %d, %i and %u with any of printf's integer length modifiers).
// These print the same through printf and through a Rir message, and a
// message of them is mostly copying: doing it here spares printf's general
// machinery on the path every message takes.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace xoltlog {

// Renders format with args into out (capacity bytes, NUL-terminated) and
// returns the text's length; -1, with args untouched and out unspecified,
// when the format holds anything else, when it holds plain integer
// conversions and nothing else (see printf_format.h), or when the text does
// not fit.
int render_plain_printf(char* out, std::size_t capacity, const char* format, va_list args) noexcept;

}  // namespace xoltlog
