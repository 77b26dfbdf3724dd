// Exported text rendering: printf-style messages, catalog messages without
// their catalog, and single arguments as wide strings.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/heap.h"
#include "message/text_render.h"
#include "message/wide_argument.h"
#include "xoltlog/text_render.h"

namespace {

constexpr std::uint64_t kRenderFailed = UINT64_MAX;

}  // namespace

extern "C" {

XOLTLOG_API uint32_t listxt_svnprintf(char** text, const char* format, va_list args) noexcept {
  if (text == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  xoltlog::BlockPtr<char> rendered = xoltlog::render_format(format, args);
  if (rendered) {
    *text = rendered.release();
  }
  return XOLTLOG_OK;
}

XOLTLOG_API char* strncatlis(char* destination, uint64_t* size, const XoltRirMsg* msg) noexcept {
  if (size == nullptr) {
    return nullptr;
  }
  if (destination == nullptr) {
    *size = 0;
    if (!xoltlog::measure_message(msg, *size)) {
      *size = kRenderFailed;
    }
    return nullptr;
  }
  xoltlog::TextSink fill(destination, *size);
  if (!xoltlog::render_message(msg, fill)) {
    *size = kRenderFailed;
    return nullptr;
  }
  return destination;
}

XOLTLOG_API char* fstrncat(char* destination, uint64_t size, const char* format, ...) noexcept {
  if (destination == nullptr || format == nullptr || size == 0) {
    return destination;
  }
  const std::size_t length = ::strnlen(destination, static_cast<std::size_t>(size));
  if (length + 1 >= size) {
    return destination;
  }
  xoltlog::BlockPtr<char> piece(static_cast<char*>(xoltlog::allocate(size)));
  if (!piece) {
    return destination;
  }
  va_list args;
  va_start(args, format);
  const int formatted = std::vsnprintf(piece.get(), static_cast<std::size_t>(size), format, args);
  va_end(args);
  if (formatted >= 0) {
    const std::size_t room = static_cast<std::size_t>(size) - 1 - length;
    const std::size_t count = ::strnlen(piece.get(), room);
    std::memcpy(destination + length, piece.get(), count);
    destination[length + count] = '\0';
  }
  return destination;
}

XOLTLOG_API uint32_t xoltLogGetArg_asStringW(const XoltRirArgIter* it, wchar_t** out) noexcept {
  if (it == nullptr || out == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  *out = nullptr;
  xoltlog::BlockPtr<wchar_t> text;
  const uint32_t result = xoltlog::argument_as_wide(*it, text);
  if (result == XOLTLOG_OK) {
    *out = text.release();
  }
  return result;
}

}  // extern "C"
