// The system calls of the POSIX layer, called through one table so that tests
// can fail or fake any of them (a clock that stands still, the Nth write
// failing with a chosen errno). Production code never changes the table.
#pragma once

#include <sys/types.h>
#include <time.h>

namespace xoltlog::platform::posix {

struct Syscalls {
  int (*clock_gettime)(clockid_t clock, struct timespec* now);
};

// The table in use. Tests swap entries and restore them; it must not be
// changed while other threads call through it.
Syscalls& syscalls() noexcept;
// The real system calls.
const Syscalls& real_syscalls() noexcept;

}  // namespace xoltlog::platform::posix
