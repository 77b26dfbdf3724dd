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
    saved_seconds_ = platform::posix::syscalls().time;
    platform::posix::syscalls().clock_gettime = &FakeClock::read;
    platform::posix::syscalls().time = &FakeClock::read_seconds;
  }
  ~FakeClock() {
    platform::posix::syscalls().clock_gettime = saved_;
    platform::posix::syscalls().time = saved_seconds_;
  }
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

  static time_t read_seconds(time_t* seconds) {
    if (seconds != nullptr) *seconds = now_.tv_sec;
    return now_.tv_sec;
  }

  static inline timespec now_{};
  int (*saved_)(clockid_t, timespec*) = nullptr;
  time_t (*saved_seconds_)(time_t*) = nullptr;
};

}  // namespace xoltlog::test
