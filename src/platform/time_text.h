// Time texts of log file names, headers and tool users, and the local offset
// from UTC. Local times follow TZ; "today" and "now" come from the platform
// clock. Thread-safe as far as the C library's time zone is.
#pragma once

#include <cstdint>

namespace xoltlog::platform {

// "GMT", "GMT+h", "GMT+h:m", "GMT-h:m" to seconds east of UTC. Hours above 0
// add the minutes, hours 0 or below subtract them, so "GMT+0:30" and
// "GMT-0:30" both give -1800. False, offset untouched, for null text, text
// not starting with "GMT", minutes outside 0..59, or an offset beyond the
// zones that exist: from GMT-12:00 to GMT+14:00 (-43200 to 50400 seconds).
bool zone_to_offset(const char* zone, std::int32_t& offset) noexcept;

// UTC minus local time now, in seconds: negative east of Greenwich.
std::int32_t local_offset_from_utc() noexcept;

// The "yymmddhhmmss" stamp of log file names (year 20yy), read as local
// standard time, as a time value; -1 for a null stamp or one that does not
// hold all six fields.
std::int64_t str_stamp_to_time(const char* stamp) noexcept;

// Splits text at any of the delimiters and reads the first three pieces as
// numbers (as atoi does) into a, b, c, which are 0 when missing. False, with
// a, b, c untouched, only when memory is exhausted.
bool split_three_numbers(const char* text, const char* delimiters, std::uint32_t& a,
                         std::uint32_t& b, std::uint32_t& c) noexcept;
// "hh:mm:ss".
bool read_time(const char* text, std::uint32_t& hour, std::uint32_t& minute,
               std::uint32_t& second) noexcept;
// "yyyy-mm-dd" into the day, the month - 1 and the year - 1900, as a broken-
// down time holds them (unsigned, so month 0 wraps).
bool read_date(const char* text, std::uint32_t& day, std::uint32_t& month,
               std::uint32_t& year) noexcept;

// "yyyy-mm-dd" (midnight; anything from the first ':' on is ignored) or
// "hh:mm:ss" (today), local standard time, as a time value; -1 for text with
// neither '-' nor ':' and when memory is exhausted.
std::int64_t date_time_text_to_time(const char* text) noexcept;

}  // namespace xoltlog::platform
