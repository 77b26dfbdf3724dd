// The event-log output of a log handle: its connection (the event-log slot
// and category of XoltLogOsLogConn) opened, used for one report at a time,
// and closed. The connection lives in a handle, which the library lock
// guards, so each of these takes the held guard.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/library_lock.h"
#include "xoltlog/config.h"
#include "xoltlog/handle.h"

namespace xoltlog {

// connection.category := source.category; connection.event_log := a
// connection to the event log as source.name. 0, or -1 (the slot null) when
// the event log cannot be reached or memory runs out. Whatever the slot
// held before is overwritten.
std::int32_t open_event_log_output(const LibraryLockGuard& held, const XoltLogEventSource& source,
                                   XoltLogOsLogConn& connection) noexcept;

// Releases an open connection and clears the slot; nothing for a null one.
void close_event_log_output(const LibraryLockGuard& held, XoltLogOsLogConn& connection) noexcept;

// Reports one event through an open connection, in its category: the event
// type (platform/event_log.h's kEvent*), the event identifier and count
// insertion strings (null entries are empty texts). 0, or -1 when the
// connection is not open or the event could not be delivered.
std::int32_t report_event(const LibraryLockGuard& held, const XoltLogOsLogConn& connection,
                          std::uint16_t event_type, std::uint32_t event_id,
                          const wchar_t* const* strings, std::size_t count) noexcept;

}  // namespace xoltlog
