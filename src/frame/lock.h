// The recursive owner-recording lock. Misuse aborts the process (see
// xoltlog/frame.h for the rules); nothing is reported otherwise.
#pragma once

#include "xoltlog/frame.h"

namespace xoltlog {

// Creates the critical section of a lock that is not initialised yet; an
// initialised lock is left as it is.
void lock_init(XoltLogLock& lock) noexcept;
// Initialises on first use (safe when threads race to it), then acquires.
void lock_acquire(XoltLogLock& lock, const char* caller) noexcept;
void lock_release(XoltLogLock& lock, const char* caller) noexcept;
void lock_destroy(XoltLogLock& lock) noexcept;

// Ends the process on a broken lock contract.
[[noreturn]] void lock_misuse() noexcept;

}  // namespace xoltlog
