// The system clock. Tests replace it through the platform seam.
#pragma once

#include <cstdint>

namespace xoltlog::platform {

struct WallTime {
  std::int64_t seconds;        // since 1970-01-01 UTC
  std::uint32_t milliseconds;  // 0..999
};

WallTime wall_clock_now() noexcept;

// Whole seconds since 1970-01-01 UTC, read without the milliseconds: the
// system keeps them where they cost a fraction of a precise read (they may
// lag it by a scheduler tick); 0 when the clock cannot be read.
std::int64_t wall_clock_seconds() noexcept;

// Whole seconds times 1000 plus the milliseconds, as record timestamps are.
inline std::int64_t wall_clock_millis() noexcept {
  const WallTime now = wall_clock_now();
  return now.seconds * 1000 + now.milliseconds;
}

}  // namespace xoltlog::platform
