// The operating system's event log: a connection bound to one event source,
// through which events (a type, a category, an identifier and insertion
// strings) are reported.
//
// On POSIX the event log is the local syslog socket: one datagram per event
// in the framing that glibc's syslog(3) uses, so that journald, rsyslog and
// syslog-ng take it alike; see posix/syslog_datagram.h for what the
// datagram holds and how texts are made safe for it.
//
// A connection is owned by whoever opened it and released with
// close_event_log. None of these takes the library lock; one connection is
// used by one thread at a time (the log handle that holds it is guarded by
// the library lock).
#pragma once

#include <cstddef>
#include <cstdint>

namespace xoltlog::platform {

// Event types, as the event log knows them.
inline constexpr std::uint16_t kEventError = 1;
inline constexpr std::uint16_t kEventWarning = 2;
inline constexpr std::uint16_t kEventInformation = 4;
inline constexpr std::uint16_t kEventAuditSuccess = 8;
inline constexpr std::uint16_t kEventAuditFailure = 16;

struct EventReport {
  std::uint16_t type;      // kEvent*; any other value is reported as information
  std::uint16_t category;
  std::uint32_t event_id;
  const wchar_t* const* strings;  // string_count entries; a null entry is an empty text
  std::size_t string_count;
};

struct EventLog;

// Connects to the event log as the event source named by at most the first
// source_size bytes of source (it need not be terminated within them). Null
// when nobody listens, the system refuses, or memory runs out.
EventLog* open_event_log(const char* source, std::size_t source_size) noexcept;

// Reports one event: 0, or -1 when it could not be delivered.
std::int32_t report_event(EventLog& log, const EventReport& report) noexcept;

// Releases the connection; null is allowed.
void close_event_log(EventLog* log) noexcept;

}  // namespace xoltlog::platform
