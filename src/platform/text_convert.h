// Conversions between the process's code page, wide strings (wchar_t, UTF-32
// here), UTF-16 and UTF-8.
//
// Each function takes non-null text, and on success puts a new NUL-terminated
// string from xoltlog::allocate into out; on failure out is left as it was.
// Results are result codes: XOLTLOG_OK; XOLTLOG_E_FAILED when the text does
// not convert (ill-formed input, unpaired surrogates, values above U+10FFFF);
// XOLTLOG_E_NO_MEMORY. The conversions to the code page give
// XOLTLOG_E_INVALID_ARG for every conversion failure instead. Thread-safe as
// far as the C library's locale is: they read LC_CTYPE but never change it.
#pragma once

#include <cstdint>

#include "platform/heap.h"

namespace xoltlog::platform {

std::uint32_t wide_to_utf8(BlockPtr<char>& out, const wchar_t* text) noexcept;
std::uint32_t utf16_to_utf8(BlockPtr<char>& out, const char16_t* text) noexcept;
// length: bytes of text to convert, -1 for all of it up to its NUL; any other
// negative length gives XOLTLOG_E_INVALID_ARG. Conversion stops at the first
// NUL within those bytes, so a length beyond the text reads nothing past it.
std::uint32_t utf8_to_wide(BlockPtr<wchar_t>& out, const char* text, std::int32_t length) noexcept;
std::uint32_t utf16_to_wide(BlockPtr<wchar_t>& out, const char16_t* text) noexcept;

// Code-page text to UTF-8 and back. When code-page text is UTF-8 (see
// code_page.h) this checks it and copies it; otherwise it converts through
// the locale.
std::uint32_t code_page_to_utf8(BlockPtr<char>& out, const char* text) noexcept;
std::uint32_t utf8_to_code_page(BlockPtr<char>& out, const char* text) noexcept;

// The converting paths on their own, whatever the code set: multibyte text
// of the current locale through mbstowcs to UTF-8, and UTF-8 to the ICU
// converter of that name (ICU's default converter when ICU does not know the
// name).
std::uint32_t locale_multibyte_to_utf8(BlockPtr<char>& out, const char* text) noexcept;
std::uint32_t utf8_to_charset(BlockPtr<char>& out, const char* text, const char* charset) noexcept;

}  // namespace xoltlog::platform
