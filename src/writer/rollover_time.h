// When a file rolls over by time: at a local time of day, or after a period.
#pragma once

#include <cstdint>
#include <optional>

namespace xoltlog {

// The next rollover time of a file started at start, by the rollover mode:
// local time of day (bit 2) at time_of_day seconds after local midnight, or
// otherwise every period seconds (bit 4); nothing for size-only or no
// rollover. A file that started before today's rollover time, once that
// time has passed, or a file older than a day, is due at once (now).
std::optional<std::int64_t> next_rollover_time(std::uint32_t mode, std::int64_t start,
                                               std::int64_t time_of_day, std::uint64_t period,
                                               std::int64_t now) noexcept;

}  // namespace xoltlog
