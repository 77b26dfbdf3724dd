#include "platform/time_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <initializer_list>

#include "platform/heap.h"
#include "platform/clock.h"
#include "platform/time_breakdown.h"

namespace xoltlog::platform {
namespace {

// atoi's reading of a number, without its undefined behaviour on overflow.
std::uint32_t number_of(const char* text) noexcept {
  return static_cast<std::uint32_t>(static_cast<int>(std::strtol(text, nullptr, 10)));
}

// The next piece of text between delimiters, NUL-terminated in place, as
// strtok finds it but without strtok's hidden state; null after the last.
char* next_token(char*& cursor, const char* delimiters) noexcept {
  cursor += std::strspn(cursor, delimiters);
  if (*cursor == '\0') {
    return nullptr;
  }
  char* token = cursor;
  cursor += std::strcspn(cursor, delimiters);
  if (*cursor != '\0') {
    *cursor++ = '\0';
  }
  return token;
}

// The stamp's year digits follow "20" and are read back as one number.
bool read_stamp_year(const char* digits, int& year) noexcept {
  char text[5] = {};
  std::snprintf(text, sizeof text, "20%2s", digits);
  return std::sscanf(text, "%4d", &year) == 1;
}

// Puts the date or time of day that text names into when.
bool apply_date_time_text(char* text, std::tm& when) noexcept {
  std::uint32_t first = 0;
  std::uint32_t second = 0;
  std::uint32_t third = 0;
  if (std::strchr(text, '-') != nullptr) {
    if (char* colon = std::strchr(text, ':')) {
      *colon = '\0';
    }
    if (!read_date(text, first, second, third)) return false;
    when.tm_mday = static_cast<int>(first);
    when.tm_mon = static_cast<int>(second);
    when.tm_year = static_cast<int>(third);
    return true;
  }
  if (std::strchr(text, ':') != nullptr) {
    if (!read_time(text, first, second, third)) return false;
    when.tm_hour = static_cast<int>(first);
    when.tm_min = static_cast<int>(second);
    when.tm_sec = static_cast<int>(third);
    return true;
  }
  return false;
}

// Real zones lie from 12 hours west to 14 hours east of UTC; a text beyond
// them is a mistake rather than a zone.
constexpr long kMinutesPerHour = 60;
constexpr long kLatestZoneHours = 14;
constexpr long kWestmostZoneMinutes = -12 * kMinutesPerHour;
constexpr long kEastmostZoneMinutes = kLatestZoneHours * kMinutesPerHour;

// "%d:%d" as sscanf reads it (a field that is not there stays 0), but with
// strtol, which saturates where sscanf's overflow is undefined: a huge field
// comes out huge and is refused by the caller.
void read_zone_fields(const char* text, long& hours, long& minutes) noexcept {
  char* end = nullptr;
  const long hour_field = std::strtol(text, &end, 10);
  if (end == text) {
    return;
  }
  hours = hour_field;
  if (*end != ':') {
    return;
  }
  const char* minute_text = end + 1;
  const long minute_field = std::strtol(minute_text, &end, 10);
  if (end != minute_text) {
    minutes = minute_field;
  }
}

}  // namespace

bool zone_to_offset(const char* zone, std::int32_t& offset) noexcept {
  if (zone == nullptr || std::strncmp(zone, "GMT", 3) != 0) {
    return false;
  }
  long hours = 0;
  long minutes = 0;
  read_zone_fields(zone + 3, hours, minutes);
  // Bounding each field first keeps the sum small whatever the text held.
  if (hours < -kLatestZoneHours || hours > kLatestZoneHours || minutes < 0 ||
      minutes >= kMinutesPerHour) {
    return false;
  }
  const long total = hours > 0 ? hours * kMinutesPerHour + minutes
                               : hours * kMinutesPerHour - minutes;
  if (total < kWestmostZoneMinutes || total > kEastmostZoneMinutes) {
    return false;
  }
  offset = static_cast<std::int32_t>(total * 60);
  return true;
}

std::int32_t local_offset_from_utc() noexcept {
  const std::int64_t now = wall_clock_now().seconds;
  std::tm utc{};
  if (!break_down_utc(now, utc)) {
    return 0;
  }
  // The UTC fields read as local time land as far from now as the zone is
  // from UTC; -1 lets the C library decide whether daylight saving applies.
  utc.tm_isdst = -1;
  return static_cast<std::int32_t>(local_time_to_seconds(utc) - now);
}

std::int64_t str_stamp_to_time(const char* stamp) noexcept {
  if (stamp == nullptr) {
    return -1;
  }
  char year_digits[3] = {};
  std::tm when{};
  if (std::sscanf(stamp, "%2s%2d%2d%2d%2d%2d", year_digits, &when.tm_mon, &when.tm_mday,
                  &when.tm_hour, &when.tm_min, &when.tm_sec) != 6 ||
      !read_stamp_year(year_digits, when.tm_year)) {
    return -1;
  }
  when.tm_year -= 1900;
  when.tm_mon -= 1;
  // Stamps are written in standard time all year round.
  when.tm_isdst = 0;
  return local_time_to_seconds(when);
}

bool split_three_numbers(const char* text, const char* delimiters, std::uint32_t& a,
                         std::uint32_t& b, std::uint32_t& c) noexcept {
  BlockPtr<char> copy(duplicate_string(text));
  if (!copy) {
    return false;
  }
  char* cursor = copy.get();
  for (std::uint32_t* output : {&a, &b, &c}) {
    const char* token = next_token(cursor, delimiters);
    *output = token != nullptr ? number_of(token) : 0;
  }
  return true;
}

bool read_time(const char* text, std::uint32_t& hour, std::uint32_t& minute,
               std::uint32_t& second) noexcept {
  return split_three_numbers(text, ":", hour, minute, second);
}

bool read_date(const char* text, std::uint32_t& day, std::uint32_t& month,
               std::uint32_t& year) noexcept {
  if (!split_three_numbers(text, "-", year, month, day)) {
    return false;
  }
  month -= 1;
  year -= 1900;
  return true;
}

std::int64_t date_time_text_to_time(const char* text) noexcept {
  BlockPtr<char> copy(duplicate_string(text));
  std::tm when{};
  if (!copy || !break_down_local(wall_clock_now().seconds, when)) {
    return -1;
  }
  when.tm_hour = 0;
  when.tm_min = 0;
  when.tm_sec = 0;
  if (!apply_date_time_text(copy.get(), when)) {
    return -1;
  }
  // Tool users' texts are read as standard time, like file name stamps.
  when.tm_isdst = 0;
  return local_time_to_seconds(when);
}

}  // namespace xoltlog::platform
