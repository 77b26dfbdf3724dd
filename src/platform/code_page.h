// What "code-page text" means for this process.
#pragma once

#include <string_view>

namespace xoltlog::platform {

// True when code-page text is UTF-8: the LC_CTYPE code set is UTF-8, or it is
// ASCII (the "C"/"POSIX" locale), in which case text is taken to be UTF-8 so
// that UTF-8 from programs that never call setlocale is not mangled.
bool code_page_is_utf8() noexcept;

// True when bytes are well-formed UTF-8: no overlong forms, no encoded
// surrogates, nothing above U+10FFFF, no truncated sequence.
bool is_well_formed_utf8(std::string_view bytes) noexcept;

}  // namespace xoltlog::platform
