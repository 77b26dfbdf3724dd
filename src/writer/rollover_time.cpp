#include "writer/rollover_time.h"

#include <ctime>

#include "platform/time_breakdown.h"
#include "xoltlog/config.h"

namespace xoltlog {
namespace {

constexpr std::int64_t kDay = 86400;

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
  if (now < start + kDay) {
    return at <= start ? at + kDay : now;
  }
  return now;
}

}  // namespace

std::optional<std::int64_t> next_rollover_time(std::uint32_t mode, std::int64_t start,
                                               std::int64_t time_of_day, std::uint64_t period,
                                               std::int64_t now) noexcept {
  if ((mode & XOLTLOG_ROLLOVER_LOCAL_TIME) != 0) {
    const std::optional<std::int64_t> at = rollover_on_start_day(start, time_of_day);
    return at ? std::optional<std::int64_t>(time_of_day_rollover(start, *at, now)) : std::nullopt;
  }
  if ((mode & XOLTLOG_ROLLOVER_PERIODIC) != 0) {
    return start + static_cast<std::int64_t>(period);
  }
  return std::nullopt;
}

}  // namespace xoltlog
