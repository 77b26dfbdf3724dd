// Exported event-log connection operations, used by the log handle's open
// and close. They take the library lock: the event source setting belongs
// to a configuration record and the connection to a handle.
#include "frame/library_lock.h"
#include "output/event_log_output.h"
#include "xoltlog/output.h"

namespace {

constexpr int32_t kNullArgument = -3;

int32_t open_connection(const char* caller, const XoltLogEventSource* source,
                        XoltLogOsLogConn* connection) noexcept {
  if (source == nullptr || connection == nullptr) {
    return kNullArgument;
  }
  const xoltlog::LibraryLockGuard held(caller);
  return xoltlog::open_event_log_output(held, *source, *connection);
}

}  // namespace

extern "C" {

XOLTLOG_API int32_t osLogOpen(const XoltLogEventSource* source,
                              XoltLogOsLogConn* connection) noexcept {
  return open_connection("osLogOpen()", source, connection);
}

XOLTLOG_API int32_t osLogOpenEx(const XoltLogEventSource* source,
                                XoltLogOsLogConn* connection) noexcept {
  return open_connection("osLogOpenEx()", source, connection);
}

XOLTLOG_API int32_t osLogClose(XoltLogOsLogConn* connection) noexcept {
  if (connection == nullptr) {
    return kNullArgument;
  }
  const xoltlog::LibraryLockGuard held("osLogClose()");
  xoltlog::close_event_log_output(held, *connection);
  return 0;
}

}  // extern "C"
