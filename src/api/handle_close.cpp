// Closing a log handle: what the open allocated is released before the
// handle leaves its writer, so that a failed detach loses nothing.
#include "api/context.h"
#include "api/handle_ops.h"
#include "config/record.h"
#include "frame/library_lock.h"
#include "platform/heap.h"
#include "output/event_log_output.h"
#include "writer/file_writer.h"
#include "xoltlog/writer.h"

namespace xoltlog {

std::uint32_t close_handle(XoltLogHandle& handle) noexcept {
  const LibraryLockGuard held("xoltLogClose()");
  // A live context shares its parent's configuration and event log: only
  // xoltLogDestroyContext ends it.
  if (handle.context_marker == 0) {
    return XOLTLOG_E_INVALID_ARG;
  }
  withdraw_shared_from_contexts(held, handle);
  if (handle.file_writer != nullptr) {
    release_writer_security(held, *handle.file_writer);
  }
  close_event_log_output(held, handle.oslog);
  if (handle.config != nullptr) {
    free_config(held, *handle.config);
    release(handle.config);
    handle.config = nullptr;
  }
  if (handle.file_writer == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltLogCloseFile(&handle);
}

}  // namespace xoltlog
