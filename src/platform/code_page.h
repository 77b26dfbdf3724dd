// What "code-page text" means for this process.
#pragma once

#include <string_view>

namespace xoltlog::platform {

// True when code-page text is UTF-8: the LC_CTYPE code set is UTF-8, or it is
// ASCII (the "C"/"POSIX" locale), in which case text is taken to be UTF-8 so
// that UTF-8 from programs that never call setlocale is not mangled.
// Follows setlocale and uselocale changes; safe from any thread.
bool code_page_is_utf8() noexcept;

// The name of the current LC_CTYPE code set ("UTF-8", "ISO-8859-1", ...), for
// opening a converter to it. The text is valid until the locale changes.
const char* code_page_name() noexcept;

// True when bytes are well-formed UTF-8: no overlong forms, no encoded
// surrogates, nothing above U+10FFFF, no truncated sequence. Pure; cheap
// enough to run on every string of every record.
bool is_well_formed_utf8(std::string_view bytes) noexcept;

// True when every byte is below 0x80 and none is a line feed: text that
// every code set spells alike and that fits on one line, the common case of
// log text, found in one pass.
bool is_single_line_ascii(std::string_view bytes) noexcept;

}  // namespace xoltlog::platform
