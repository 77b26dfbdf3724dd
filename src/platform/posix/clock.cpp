#include "platform/clock.h"

#include "platform/posix/syscalls.h"

namespace xoltlog::platform {

WallTime wall_clock_now() noexcept {
  struct timespec now {};
  if (posix::syscalls().clock_gettime(CLOCK_REALTIME, &now) != 0) {
    return WallTime{0, 0};
  }
  return WallTime{static_cast<std::int64_t>(now.tv_sec),
                  static_cast<std::uint32_t>(now.tv_nsec / 1000000)};
}

std::int64_t wall_clock_seconds() noexcept {
  const time_t now = posix::syscalls().time(nullptr);
  return now == static_cast<time_t>(-1) ? 0 : static_cast<std::int64_t>(now);
}

}  // namespace xoltlog::platform
