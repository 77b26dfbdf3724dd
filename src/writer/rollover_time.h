// When a file rolls over by time: at a local time of day, or after a period.
// Pure functions of the settings, the file's start and the clock.
//
// The configuration record can hold any value (the store and direct
// assignment bypass the setters' checks), so every value has a meaning:
// - a rollover time outside 0..86399 is taken modulo a day, counted forward
//   from midnight: -3600 is 23:00, -86400 and 86400 are midnight;
// - a rollover period of 0 means no periodic rollover; a period longer than
//   kMaxRolloverPeriod (100 years) is taken as that long;
// - times that would pass the end of the 64-bit range stop at its end, which
//   is never reached.
// However the settings read, a file that was just started is not yet due by
// time, unless it was started from an existing file whose start lies long
// enough in the past; the write path never starts more than one file per
// record on account of time.
#pragma once

#include <cstdint>
#include <optional>

namespace xoltlog {

inline constexpr std::int64_t kSecondsPerDay = 86400;
// 100 years of 365.25 days.
inline constexpr std::uint64_t kMaxRolloverPeriod = 36525ULL * kSecondsPerDay;

// The time of day, in 0..86399 seconds after local midnight, that a
// configured rollover time stands for.
std::int64_t rollover_time_of_day(std::int64_t configured) noexcept;

// The period in seconds that a configured rollover period stands for;
// nothing for 0.
std::optional<std::int64_t> rollover_period(std::uint64_t configured) noexcept;

// The next rollover time of a file started at start, by the rollover mode:
// local time of day (bit 2) at the configured time of day, or otherwise
// every period (bit 4); nothing for size-only or no rollover, for a period
// of 0, or when the start cannot be placed in local time. A file that
// started before today's rollover time, once that time has passed, or a file
// older than a day, is due at once (now).
std::optional<std::int64_t> next_rollover_time(std::uint32_t mode, std::int64_t start,
                                               std::int64_t time_of_day, std::uint64_t period,
                                               std::int64_t now) noexcept;

}  // namespace xoltlog
