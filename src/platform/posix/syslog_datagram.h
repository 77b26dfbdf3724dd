// The syslog datagram of one event, built without touching the system so
// that its every byte can be checked on its own.
//
//   <PRI>Mmm dd hh:mm:ss TAG[pid]: [event=<id> category=<n> type=<t>] s1 | s2
//
// - PRI is facility * 8 + severity: facility user (1), or authpriv (10) for
//   the audit event types (secure audit); severity err (3) for an error
//   event, warning (4) for a warning or an audit failure, notice (5) for an
//   audit success, info (6) for information and any other type.
// - The time stamp is local time in the C locale's month names, the day
//   padded with a space, as glibc's syslog(3) writes it.
// - TAG is the event source name (see make_syslog_tag).
// - The insertion strings follow the bracket, each after " " (the first) or
//   " | " (the others), in UTF-8. A null string is empty. A character that
//   is no Unicode scalar value becomes U+FFFD. A control character (C0, DEL
//   and C1) is written as "#" and three octal digits, as rsyslog itself
//   escapes them, so that a line feed or carriage return never travels raw
//   and the datagram stays one line in every receiver.
// - The whole datagram is at most kMaxSyslogDatagram bytes: text beyond it
//   is cut before the first character that does not fit whole, so the
//   datagram is always well-formed UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string_view>

#include "platform/event_log.h"

namespace xoltlog::platform::posix {

// Below rsyslog's default largest message (8096 bytes), which it would cut
// without regard to characters; journald and syslog-ng take more.
inline constexpr std::size_t kMaxSyslogDatagram = 8000;

inline constexpr int kFacilityUser = 1;
inline constexpr int kFacilityAuthpriv = 10;

int syslog_priority(std::uint16_t event_type) noexcept;

// Makes a source name (UTF-8, NUL-terminated) usable as a syslog tag, in
// place: receivers end the tag at white space, "[", "]" or ":", so each of
// those and each ASCII control character becomes "_". An empty name stays
// empty.
void make_syslog_tag(char* name) noexcept;

// Writes the datagram of report into out (capacity bytes, at most
// kMaxSyslogDatagram are used; not NUL-terminated) and returns its length.
std::size_t format_syslog_datagram(const EventReport& report, std::string_view tag,
                                   const std::tm& local_time, std::uint32_t pid, char* out,
                                   std::size_t capacity) noexcept;

}  // namespace xoltlog::platform::posix
