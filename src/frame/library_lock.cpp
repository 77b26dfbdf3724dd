#include "frame/library_lock.h"

#include "frame/lock.h"

namespace xoltlog {
namespace {

// Zero-initialised before any code runs, so the first acquisition from any
// thread, even during static initialisation, finds it "not initialised".
XoltLogLock g_library_lock{};

}  // namespace

XoltLogLock& library_lock() noexcept { return g_library_lock; }

LibraryLockGuard::LibraryLockGuard(const char* caller) noexcept : caller_(caller) {
  lock_acquire(g_library_lock, caller_);
}

LibraryLockGuard::~LibraryLockGuard() { lock_release(g_library_lock, caller_); }

}  // namespace xoltlog
