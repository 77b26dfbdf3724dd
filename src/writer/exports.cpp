// Exported file-writer operations.
#include "writer/write_path.h"
#include "writer/writer_open.h"
#include "xoltlog/writer.h"

extern "C" {

XOLTLOG_API uint32_t xoltLogOpenFile(XoltLogHandle* handle, const XoltLogCfg* handle_cfg,
                                     const XoltLogCfg* file_cfg) noexcept {
  if (handle == nullptr || handle->file_writer == nullptr || handle_cfg == nullptr ||
      file_cfg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::open_file(*handle, *handle_cfg, *file_cfg);
}

XOLTLOG_API uint32_t xoltLogCloseFile(XoltLogHandle* handle) noexcept {
  if (handle == nullptr || handle->file_writer == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::close_file(*handle);
}

XOLTLOG_API uint32_t xoltLogWriteMsgWithRolloverToFile(XoltLogFileWriter* writer,
                                                       XoltLogMsg* msg) noexcept {
  return xoltlog::write_record(writer, msg, true);
}

}  // extern "C"
