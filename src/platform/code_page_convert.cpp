#include <unicode/ucnv.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/code_page.h"
#include "platform/icu_convert.h"
#include "platform/text_convert.h"

namespace xoltlog::platform {
namespace {

struct CloseConverter {
  void operator()(UConverter* converter) const noexcept { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, CloseConverter>;

// ICU settles its default converter once per process, so the code set is
// named explicitly to follow later setlocale calls.
ConverterPtr open_converter(const char* charset) noexcept {
  UErrorCode status = U_ZERO_ERROR;
  ConverterPtr converter(ucnv_open(charset, &status));
  if (!converter) {
    status = U_ZERO_ERROR;
    converter.reset(ucnv_open(nullptr, &status));
  }
  return converter;
}

// UTF-8 code-page text needs no conversion, only the check that it is UTF-8.
std::uint32_t copy_well_formed(BlockPtr<char>& out, const char* text,
                               std::uint32_t failure) noexcept {
  if (!is_well_formed_utf8(text)) {
    return failure;
  }
  BlockPtr<char> copy(duplicate_string(text));
  if (!copy) {
    return XOLTLOG_E_NO_MEMORY;
  }
  out = std::move(copy);
  return XOLTLOG_OK;
}

}  // namespace

std::uint32_t locale_multibyte_to_utf8(BlockPtr<char>& out, const char* text) noexcept {
  const std::size_t count = std::strlen(text) + 1;
  BlockPtr<wchar_t> wide(static_cast<wchar_t*>(allocate(count * sizeof(wchar_t))));
  if (!wide) {
    return XOLTLOG_E_NO_MEMORY;
  }
  std::fill_n(wide.get(), count, L'\0');
  if (std::mbstowcs(wide.get(), text, count) == static_cast<std::size_t>(-1)) {
    return XOLTLOG_E_FAILED;
  }
  return wide_to_utf8(out, wide.get());
}

std::uint32_t utf8_to_charset(BlockPtr<char>& out, const char* text, const char* charset) noexcept {
  BlockPtr<char16_t> utf16;
  const std::uint32_t result = utf8_to_utf16(utf16, text, -1, kIcuToCodePageFailed);
  if (result != XOLTLOG_OK) {
    return result;
  }
  const ConverterPtr converter = open_converter(charset);
  if (!converter) {
    return kIcuToCodePageFailed.result;
  }
  auto convert = [&converter, &utf16](char* destination, std::int32_t capacity,
                                      UErrorCode* status) {
    return ucnv_fromUChars(converter.get(), destination, capacity, utf16.get(), -1, status);
  };
  return icu_two_call(out, convert, kIcuToCodePageFailed);
}

std::uint32_t code_page_to_utf8(BlockPtr<char>& out, const char* text) noexcept {
  if (code_page_is_utf8()) {
    return copy_well_formed(out, text, XOLTLOG_E_FAILED);
  }
  return locale_multibyte_to_utf8(out, text);
}

std::uint32_t utf8_to_code_page(BlockPtr<char>& out, const char* text) noexcept {
  if (code_page_is_utf8()) {
    return copy_well_formed(out, text, kIcuToCodePageFailed.result);
  }
  return utf8_to_charset(out, text, code_page_name());
}

}  // namespace xoltlog::platform
