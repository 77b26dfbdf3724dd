#include "platform/time_breakdown.h"

namespace xoltlog::platform {

static_assert(sizeof(time_t) == sizeof(std::int64_t), "time values need a 64-bit time_t");

bool break_down_utc(std::int64_t time, std::tm& out) noexcept {
  const time_t value = time;
  std::tm result{};
  if (gmtime_r(&value, &result) == nullptr) {
    return false;
  }
  out = result;
  return true;
}

bool break_down_local(std::int64_t time, std::tm& out) noexcept {
  // localtime_r need not look at TZ again after the first call; tzset makes
  // it honour a zone the process changed since.
  tzset();
  const time_t value = time;
  std::tm result{};
  if (localtime_r(&value, &result) == nullptr) {
    return false;
  }
  out = result;
  return true;
}

std::int64_t local_time_to_seconds(std::tm& time) noexcept { return mktime(&time); }

}  // namespace xoltlog::platform
