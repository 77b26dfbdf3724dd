#include "platform/text_convert.h"

#include <unicode/ustring.h>

#include <cstring>

#include "platform/icu_convert.h"

namespace xoltlog::platform {
namespace {

std::uint32_t wide_to_utf16(BlockPtr<char16_t>& out, const wchar_t* text) noexcept {
  auto convert = [text](char16_t* destination, std::int32_t capacity, UErrorCode* status) {
    std::int32_t length = 0;
    u_strFromWCS(destination, capacity, &length, text, -1, status);
    return length;
  };
  return icu_two_call(out, convert, kIcuFailed);
}

}  // namespace

std::uint32_t utf8_to_utf16(BlockPtr<char16_t>& out, const char* text, std::int32_t length,
                            IcuFailure failure) noexcept {
  auto convert = [text, length](char16_t* destination, std::int32_t capacity, UErrorCode* status) {
    std::int32_t converted = 0;
    u_strFromUTF8(destination, capacity, &converted, text, length, status);
    return converted;
  };
  return icu_two_call(out, convert, failure);
}

std::uint32_t utf16_to_utf8(BlockPtr<char>& out, const char16_t* text) noexcept {
  auto convert = [text](char* destination, std::int32_t capacity, UErrorCode* status) {
    std::int32_t length = 0;
    u_strToUTF8(destination, capacity, &length, text, -1, status);
    return length;
  };
  return icu_two_call(out, convert, kIcuFailed);
}

std::uint32_t utf16_to_wide(BlockPtr<wchar_t>& out, const char16_t* text) noexcept {
  const std::int32_t units = u_strlen(text);
  auto convert = [text, units](wchar_t* destination, std::int32_t capacity, UErrorCode* status) {
    std::int32_t length = 0;
    u_strToWCS(destination, capacity, &length, text, units, status);
    return length;
  };
  return icu_two_call(out, convert, kIcuFailed);
}

std::uint32_t wide_to_utf8(BlockPtr<char>& out, const wchar_t* text) noexcept {
  BlockPtr<char16_t> utf16;
  const std::uint32_t result = wide_to_utf16(utf16, text);
  return result == XOLTLOG_OK ? utf16_to_utf8(out, utf16.get()) : result;
}

std::uint32_t utf8_to_wide(BlockPtr<wchar_t>& out, const char* text, std::int32_t length) noexcept {
  if (length < -1) {
    return XOLTLOG_E_INVALID_ARG;
  }
  // The wide string ends at the first NUL anyway; stopping there keeps a
  // length longer than the text from reading past its end.
  if (length > 0) {
    length = static_cast<std::int32_t>(strnlen(text, static_cast<std::size_t>(length)));
  }
  BlockPtr<char16_t> utf16;
  const std::uint32_t result = utf8_to_utf16(utf16, text, length, kIcuFailed);
  return result == XOLTLOG_OK ? utf16_to_wide(out, utf16.get()) : result;
}

}  // namespace xoltlog::platform
