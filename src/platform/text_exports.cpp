// Exported text conversions and the small validity tests.
#include "platform/heap.h"
#include "platform/absolute_path.h"
#include "platform/text_convert.h"
#include "xoltlog/text.h"

namespace {

// The converted text goes to the caller only on success; out is null
// otherwise, as it was set before the conversion.
template <typename Unit>
uint32_t hand_out(Unit** out, xoltlog::BlockPtr<Unit>& converted, uint32_t result) noexcept {
  *out = result == XOLTLOG_OK ? converted.release() : nullptr;
  return result;
}

}  // namespace

extern "C" {

XOLTLOG_API uint32_t mbs2utf8(char** out, const char* text) noexcept {
  if (out == nullptr || text == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  *out = nullptr;
  xoltlog::BlockPtr<char> utf8;
  return hand_out(out, utf8, xoltlog::platform::code_page_to_utf8(utf8, text));
}

XOLTLOG_API uint32_t wcs2utf8(char** out, const wchar_t* text) noexcept {
  if (out == nullptr || text == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  *out = nullptr;
  xoltlog::BlockPtr<char> utf8;
  return hand_out(out, utf8, xoltlog::platform::wide_to_utf8(utf8, text));
}

XOLTLOG_API uint32_t utf82wcs(wchar_t** out, const char* text, int32_t length) noexcept {
  if (out == nullptr || text == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  *out = nullptr;
  xoltlog::BlockPtr<wchar_t> wide;
  return hand_out(out, wide, xoltlog::platform::utf8_to_wide(wide, text, length));
}

XOLTLOG_API uint32_t utf82mbs(char** out, const char* text) noexcept {
  if (out == nullptr || text == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  *out = nullptr;
  xoltlog::BlockPtr<char> code_page;
  return hand_out(out, code_page, xoltlog::platform::utf8_to_code_page(code_page, text));
}

XOLTLOG_API int32_t isAbsolutePath(const char* path) noexcept {
  return xoltlog::platform::is_absolute_path(path) ? 0 : -1;
}

XOLTLOG_API int32_t isOrigIdValid(uint32_t originator) noexcept { return originator != 0; }

XOLTLOG_API int32_t isLogSetValid(const char* logset) noexcept { return logset != nullptr; }

}  // extern "C"
