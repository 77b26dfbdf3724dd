// Exported file-writer operations. Each takes the library lock for its
// whole run, so a caller that holds it already (through xoltLockCommon or
// an entry point) loses nothing, and one that does not is safe all the same.
#include "frame/boundary.h"
#include "frame/library_lock.h"
#include "platform/host_address.h"
#include "writer/write_path.h"
#include "writer/writer_open.h"
#include "xoltlog/writer.h"

extern "C" {

XOLTLOG_API uint32_t xoltLogOpenFile(XoltLogHandle* handle, const XoltLogCfg* handle_cfg,
                                     const XoltLogCfg* file_cfg) noexcept {
  if (handle == nullptr || handle_cfg == nullptr || file_cfg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  // File starts name files by the host's address: renew it here, before
  // the lock, so that no rollover of any thread ever waits on a resolver.
  xoltlog::platform::refresh_host_address();
  const xoltlog::LibraryLockGuard held("xoltLogOpenFile()");
  if (handle->file_writer == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::guarded(XOLTLOG_E_FAILED, [&] {
    return xoltlog::open_file(held, *handle, *handle_cfg, *file_cfg);
  });
}

XOLTLOG_API uint32_t xoltLogCloseFile(XoltLogHandle* handle) noexcept {
  if (handle == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const xoltlog::LibraryLockGuard held("xoltLogCloseFile()");
  if (handle->file_writer == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::close_file(held, *handle);
}

XOLTLOG_API uint32_t xoltLogWriteMsgWithRolloverToFile(XoltLogFileWriter* writer,
                                                       XoltLogMsg* msg) noexcept {
  const xoltlog::LibraryLockGuard held("xoltLogWriteMsgWithRolloverToFile()");
  return xoltlog::guarded(XOLTLOG_E_FAILED,
                          [&] { return xoltlog::write_record(held, writer, msg, true); });
}

}  // extern "C"
