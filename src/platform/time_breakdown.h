// Local and UTC calendar breakdowns of time values (seconds since
// 1970-01-01 UTC), following the TZ environment variable as it is at the
// call. Safe from any thread as long as no thread changes TZ meanwhile.
#pragma once

#include <cstdint>
#include <ctime>

namespace xoltlog::platform {

// False when the time cannot be broken down (its year does not fit an int);
// out is written only on success.
bool break_down_utc(std::int64_t time, std::tm& out) noexcept;
bool break_down_local(std::int64_t time, std::tm& out) noexcept;

// The time value of a local broken-down time, which is normalised in place;
// tm_isdst 0 means standard time, 1 daylight saving time, -1 whichever was
// in force. -1 when it cannot be represented.
std::int64_t local_time_to_seconds(std::tm& time) noexcept;

}  // namespace xoltlog::platform
