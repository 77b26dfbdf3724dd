// LogFormatMessage, the formatting library's one exported function.
#include <cstring>
#include <optional>
#include <string>

#include "format_message.h"
#include "frame/boundary.h"
#include "render.h"
#include "xoltlog/frame.h"

namespace {

// Copies text into a block the caller releases with xoltLogFree.
std::uint32_t hand_out(const std::string& text, char** out) noexcept {
  auto* block = static_cast<char*>(xoltLogMalloc(text.size() + 1));
  if (block == nullptr) {
    return XOLTLOG_E_NO_MEMORY;
  }
  std::memcpy(block, text.c_str(), text.size() + 1);
  *out = block;
  return XOLTLOG_OK;
}

}  // namespace

extern "C" uint32_t LogFormatMessage(const XoltLogLocalizerList* /*localizers*/, uint32_t /*zero1*/,
                                     const char* locale, uint32_t /*zero2*/, uint32_t selector,
                                     uint32_t /*zero3*/, const XoltLogMsg* msg,
                                     const XoltLogHandle* handle, char** text) noexcept {
  if (text == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  *text = nullptr;
  if (msg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::guarded(XOLTLOG_E_FAILED, [&] {
    const std::optional<std::string> rendered = xoltlog::fmt::render(*msg, handle, locale, selector);
    return rendered ? hand_out(*rendered, text) : std::uint32_t{XOLTLOG_E_INVALID_ARG};
  });
}
