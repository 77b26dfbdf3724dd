// Single strings between wide form and the process's code page, for text
// rendering: through the locale (wcstombs, mbstowcs), or through ICU when
// code-page text is UTF-8 (platform/code_page.h).
#pragma once

#include <cstdint>

#include "platform/heap.h"

namespace xoltlog {

// Each puts a new NUL-terminated string from allocate() into out and returns
// 0, or leaves out as it was and returns 1 when the text has no form in the
// other encoding, 4 when memory runs out. text must not be null. Reads
// LC_CTYPE, never changes it.
std::uint32_t wide_to_code_page(BlockPtr<char>& out, const wchar_t* text) noexcept;
std::uint32_t code_page_to_wide(BlockPtr<wchar_t>& out, const char* text) noexcept;

}  // namespace xoltlog
