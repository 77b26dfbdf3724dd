// Time texts of queries and options. Local times go through mktime, so the
// zone rules of TZ (daylight saving time included) decide their instant.
#include <charconv>
#include <cstdio>
#include <ctime>
#include <string>

#include "cli/where.h"
#include "xoltlog/text.h"

namespace xoltlog::tool {
namespace {

std::optional<std::int64_t> number(std::string_view text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::int64_t> relative(std::string_view text, std::int64_t now) {
  if (text.size() < 3 || text[0] != '-') return std::nullopt;
  const auto count = number(text.substr(1, text.size() - 2));
  if (!count || *count < 0 || *count > 100LL * 366 * 86400) return std::nullopt;
  switch (text.back()) {
    case 's': return now - *count;
    case 'm': return now - *count * 60;
    case 'h': return now - *count * 3600;
    case 'd': return now - *count * 86400;
    case 'w': return now - *count * 7 * 86400;
    default: return std::nullopt;
  }
}

// "Z", "UTC", "GMT", "+01:00", "-0500", "+01", "GMT+5:30": seconds east of
// UTC.
std::optional<std::int32_t> zone_east(std::string_view zone) {
  if (zone == "Z" || zone == "UTC" || zone == "GMT") return 0;
  if (zone.rfind("GMT", 0) == 0) {
    std::int32_t offset = 0;
    if (TimeZoneToOffset(std::string(zone).c_str(), &offset) != 0) return std::nullopt;
    return offset;
  }
  if (zone.size() < 3 || (zone[0] != '+' && zone[0] != '-')) return std::nullopt;
  std::string digits;
  for (char c : zone.substr(1)) {
    if (c != ':') digits += c;
  }
  if (digits.size() != 2 && digits.size() != 4) return std::nullopt;
  const auto hours = number(std::string_view(digits).substr(0, 2));
  const auto minutes = digits.size() == 4 ? number(std::string_view(digits).substr(2)) : 0;
  if (!hours || !minutes || *hours > 14 || *minutes > 59) return std::nullopt;
  const auto east = static_cast<std::int32_t>(*hours * 3600 + *minutes * 60);
  return zone[0] == '-' ? -east : east;
}

// "YYYY-MM-DD[( |T)HH:MM[:SS]]" and what follows it.
struct Civil {
  std::tm tm{};
  std::string_view rest;
};

std::optional<Civil> civil(std::string_view text) {
  Civil out;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, used = 0;
  const std::string copy(text);
  if (std::sscanf(copy.c_str(), "%4d-%2d-%2d%n", &year, &month, &day, &used) != 3 || used != 10) {
    return std::nullopt;
  }
  std::size_t pos = 10;
  if (pos < copy.size() && (copy[pos] == ' ' || copy[pos] == 'T')) {
    int clock_used = 0;
    if (std::sscanf(copy.c_str() + pos + 1, "%2d:%2d%n", &hour, &minute, &clock_used) != 2 ||
        clock_used != 5) {
      return std::nullopt;
    }
    pos += 6;
    if (pos < copy.size() && copy[pos] == ':') {
      int seconds_used = 0;
      if (std::sscanf(copy.c_str() + pos + 1, "%2d%n", &second, &seconds_used) != 1 ||
          seconds_used != 2) {
        return std::nullopt;
      }
      pos += 3;
    }
  }
  constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1] ||
      (month == 2 && day == 29 && !leap) || hour > 23 || minute > 59 || second > 60) {
    return std::nullopt;
  }
  out.tm = std::tm{second, minute, hour, day, month - 1, year - 1900, 0, 0, -1, 0, nullptr};
  out.rest = text.substr(pos);
  return out;
}

std::optional<std::int64_t> absolute(std::string_view text) {
  auto parsed = civil(text);
  if (!parsed) return std::nullopt;
  std::string_view zone = parsed->rest;
  while (!zone.empty() && zone.front() == ' ') zone.remove_prefix(1);
  if (zone.empty()) {
    const std::time_t local = std::mktime(&parsed->tm);
    if (local == static_cast<std::time_t>(-1)) return std::nullopt;
    return static_cast<std::int64_t>(local);
  }
  const auto east = zone_east(zone);
  if (!east) return std::nullopt;
  return static_cast<std::int64_t>(timegm(&parsed->tm)) - *east;
}

}  // namespace

std::optional<std::int64_t> parse_time_text(std::string_view text, std::int64_t now) {
  if (text == "now") return now;
  if (!text.empty() && text[0] == '@') return number(text.substr(1));
  if (auto time = relative(text, now)) return time;
  return absolute(text);
}

}  // namespace xoltlog::tool
