#include "writer/rollover_time.h"

#include <ctime>
#include <limits>

#include "platform/time_breakdown.h"
#include "xoltlog/config.h"

namespace xoltlog {
namespace {

constexpr std::int64_t kLatest = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kEarliest = std::numeric_limits<std::int64_t>::min();

std::int64_t saturating_add(std::int64_t time, std::int64_t seconds) noexcept {
  if (seconds > 0 && time > kLatest - seconds) {
    return kLatest;
  }
  if (seconds < 0 && time < kEarliest - seconds) {
    return kEarliest;
  }
  return time + seconds;
}

// The start's local day at the rollover's time of day.
std::optional<std::int64_t> rollover_on_start_day(std::int64_t start,
                                                  std::int64_t time_of_day) noexcept {
  std::tm local{};
  if (!platform::break_down_local(start, local)) {
    return std::nullopt;
  }
  local.tm_hour = static_cast<int>(time_of_day / 3600);
  local.tm_min = static_cast<int>(time_of_day % 3600 / 60);
  local.tm_sec = 0;
  local.tm_isdst = -1;  // whatever is in force at that hour of that day
  const std::int64_t at = platform::local_time_to_seconds(local);
  return at == -1 ? std::nullopt : std::optional<std::int64_t>(at);
}

std::int64_t time_of_day_rollover(std::int64_t start, std::int64_t at, std::int64_t now) noexcept {
  if (now < at) {
    return at;
  }
  if (now < saturating_add(start, kSecondsPerDay)) {
    return at <= start ? saturating_add(at, kSecondsPerDay) : now;
  }
  return now;
}

}  // namespace

std::int64_t rollover_time_of_day(std::int64_t configured) noexcept {
  const std::int64_t remainder = configured % kSecondsPerDay;
  return remainder < 0 ? remainder + kSecondsPerDay : remainder;
}

std::optional<std::int64_t> rollover_period(std::uint64_t configured) noexcept {
  if (configured == 0) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(configured < kMaxRolloverPeriod ? configured
                                                                   : kMaxRolloverPeriod);
}

std::optional<std::int64_t> next_rollover_time(std::uint32_t mode, std::int64_t start,
                                               std::int64_t time_of_day, std::uint64_t period,
                                               std::int64_t now) noexcept {
  if ((mode & XOLTLOG_ROLLOVER_LOCAL_TIME) != 0) {
    const std::optional<std::int64_t> at =
        rollover_on_start_day(start, rollover_time_of_day(time_of_day));
    return at ? std::optional<std::int64_t>(time_of_day_rollover(start, *at, now)) : std::nullopt;
  }
  if ((mode & XOLTLOG_ROLLOVER_PERIODIC) != 0) {
    const std::optional<std::int64_t> seconds = rollover_period(period);
    return seconds ? std::optional<std::int64_t>(saturating_add(start, *seconds)) : std::nullopt;
  }
  return std::nullopt;
}

}  // namespace xoltlog
