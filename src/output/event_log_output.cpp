#include "output/event_log_output.h"

#include "platform/event_log.h"

namespace xoltlog {
namespace {

platform::EventLog* event_log_of(const XoltLogOsLogConn& connection) noexcept {
  return static_cast<platform::EventLog*>(connection.event_log);
}

}  // namespace

std::int32_t open_event_log_output(const LibraryLockGuard&, const XoltLogEventSource& source,
                                   XoltLogOsLogConn& connection) noexcept {
  connection.category = source.category;
  connection.event_log = platform::open_event_log(source.name, sizeof source.name);
  return connection.event_log != nullptr ? 0 : -1;
}

void close_event_log_output(const LibraryLockGuard&, XoltLogOsLogConn& connection) noexcept {
  platform::close_event_log(event_log_of(connection));
  connection.event_log = nullptr;
}

std::int32_t report_event(const LibraryLockGuard&, const XoltLogOsLogConn& connection,
                          std::uint16_t event_type, std::uint32_t event_id,
                          const wchar_t* const* strings, std::size_t count) noexcept {
  platform::EventLog* log = event_log_of(connection);
  if (log == nullptr || (strings == nullptr && count != 0)) {
    return -1;
  }
  const platform::EventReport report{event_type, connection.category, event_id, strings, count};
  return platform::report_event(*log, report);
}

}  // namespace xoltlog
