// Replaces the system clock of the platform layer for one scope.
#pragma once

#include <cstdint>
#include <ctime>

#include "platform/posix/syscalls.h"

namespace xoltlog::test {

class FakeClock {
 public:
  FakeClock(std::int64_t seconds, long nanoseconds) {
    now_ = timespec{static_cast<time_t>(seconds), nanoseconds};
    saved_ = platform::posix::syscalls().clock_gettime;
    platform::posix::syscalls().clock_gettime = &FakeClock::read;
  }
  ~FakeClock() { platform::posix::syscalls().clock_gettime = saved_; }
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;

  static void set(std::int64_t seconds, long nanoseconds) {
    now_ = timespec{static_cast<time_t>(seconds), nanoseconds};
  }

 private:
  static int read(clockid_t, timespec* now) {
    *now = now_;
    return 0;
  }

  static inline timespec now_{};
  int (*saved_)(clockid_t, timespec*) = nullptr;
};

}  // namespace xoltlog::test
