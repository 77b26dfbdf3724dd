// Opening ordinary and secure log handles.
#include <cstring>

#include "api/handle_ops.h"
#include "config/record.h"
#include "frame/library_lock.h"
#include "platform/heap.h"
#include "output/event_log_output.h"
#include "writer/file_writer.h"
#include "xoltlog/config_read.h"
#include "xoltlog/writer.h"

namespace xoltlog {
namespace {

// The two records an open reads, released whatever becomes of the open.
struct OpenRecords {
  XoltLogCfg handle_cfg{};
  XoltLogCfg file_cfg{};
  OpenRecords() = default;
  OpenRecords(const OpenRecords&) = delete;
  OpenRecords& operator=(const OpenRecords&) = delete;
  ~OpenRecords() {
    xoltLogFreeCfg(&handle_cfg);
    xoltLogFreeCfg(&file_cfg);
  }
};

// The event log is an extra copy of what goes to the file: failing to reach
// it is reported, but leaves the handle logging to its file.
std::uint32_t open_event_log(const char* label, const XoltLogEventSource& source,
                             XoltLogOsLogConn& connection) noexcept {
  const LibraryLockGuard held(label);
  return open_event_log_output(held, source, connection) == 0 ? XOLTLOG_OK
                                                              : XOLTLOG_E_OSLOG_OPEN;
}

}  // namespace

std::uint32_t open_handle(std::uint32_t product, std::uint32_t originator,
                          std::uint32_t file_originator, XoltLogHandle& handle) noexcept {
  std::memset(&handle, 0, sizeof handle);
  // A handle, never a context: however far the open gets, it is closed
  // with xoltLogClose.
  handle.context_marker = 1;
  OpenRecords records;
  if (const std::uint32_t read = xoltLogReadCfg(product, originator, &records.handle_cfg)) {
    return read;
  }
  if (const std::uint32_t read = xoltLogReadCfg(product, file_originator, &records.file_cfg)) {
    return read;
  }
  handle.file_writer = new_file_writer();
  if (handle.file_writer == nullptr) {
    return XOLTLOG_E_NO_MEMORY;
  }
  std::uint32_t result = xoltLogOpenFile(&handle, &records.handle_cfg, &records.file_cfg);
  if (result == XOLTLOG_OK && (records.handle_cfg.flags & XOLTLOG_OUT_OSLOG) != 0) {
    result = open_event_log("xoltLogOpen2()", records.handle_cfg.event_source, handle.oslog);
  }
  InitializeLocalizerList(&handle.localizers);
  return result;
}

std::uint32_t open_secure_handle(std::uint32_t product, std::uint32_t originator, XoltLogCfg& cfg,
                                 XoltLogHandle& handle) noexcept {
  std::memset(&handle, 0, sizeof handle);
  const LibraryLockGuard held("xoltLogSecureOpen()");
  handle.secure_audit_level = static_cast<std::int32_t>(cfg.secure_audit_level);
  handle.context_marker = 1;
  handle.output_flags = XOLTLOG_OUT_OSLOG | (cfg.flags & XOLTLOG_OUT_OSLOG_ID);
  const std::uint32_t result = open_event_log_output(held, cfg.event_source, handle.oslog) == 0
                                    ? XOLTLOG_OK
                                    : XOLTLOG_E_OSLOG_OPEN;
  InitializeLocalizerList(&handle.localizers);
  cfg.product_id = product;
  cfg.originator_id = originator;
  // Nothing reads a secure handle's copy back while it has no writer, so
  // without memory it simply has none.
  auto* copy = static_cast<XoltLogCfg*>(allocate(sizeof(XoltLogCfg)));
  if (copy != nullptr && copy_config(held, copy, &cfg) != XOLTLOG_OK) {
    release(copy);
    copy = nullptr;
  }
  handle.config = copy;
  return result;
}

}  // namespace xoltlog
