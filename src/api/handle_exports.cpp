// Exported opening and closing of log handles and the reload operations:
// argument checks here, the work in handle_open.cpp, handle_close.cpp and
// reload.cpp.
#include "api/handle_ops.h"
#include "xoltlog/handle.h"

extern "C" {

XOLTLOG_API uint32_t xoltLogOpen2(uint32_t product, uint32_t originator, uint32_t file_originator,
                                  XoltLogHandle* handle) noexcept {
  if (product == 0 || originator == 0 || file_originator == 0 || handle == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::open_handle(product, originator, file_originator, *handle);
}

XOLTLOG_API uint32_t xoltLogOpen(uint32_t product, uint32_t originator,
                                 XoltLogHandle* handle) noexcept {
  return xoltLogOpen2(product, originator, originator, handle);
}

XOLTLOG_API uint32_t xoltLogSecureOpen(uint32_t product, uint32_t originator, void* /*unused*/,
                                       XoltLogCfg* cfg, XoltLogHandle* handle) noexcept {
  if (product == 0 || originator == 0 || cfg == nullptr || handle == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::open_secure_handle(product, originator, *cfg, *handle);
}

XOLTLOG_API uint32_t xoltLogClose(XoltLogHandle* handle) noexcept {
  if (handle == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::close_handle(*handle);
}

XOLTLOG_API void InitializeLocalizerList(XoltLogLocalizerList* list) noexcept {
  if (list != nullptr) {
    list->first = 0;
    list->second = 0;
  }
}

XOLTLOG_API uint32_t xoltDynaLoadConfig(XoltLogHandle* handle) noexcept {
  if (handle != nullptr) {
    xoltlog::dyna_load_config(*handle);
  }
  return XOLTLOG_OK;
}

XOLTLOG_API uint32_t xoltReLoadCfg(XoltLogFileWriter* writer) noexcept {
  if (writer == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::reload_writer_config(*writer);
}

}  // extern "C"
