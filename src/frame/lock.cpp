#include "frame/lock.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "platform/critical_section.h"
#include "platform/process.h"

namespace xoltlog {
namespace {

// Serialises first-use initialisation of every lock: two threads reaching a
// zeroed lock at once must not both create its critical section.
std::mutex& initialisation_guard() noexcept {
  static std::mutex guard;
  return guard;
}

std::atomic_ref<std::uint32_t> initialised_flag(XoltLogLock& lock) noexcept {
  return std::atomic_ref<std::uint32_t>(lock.initialised);
}

void create_critical_section(XoltLogLock& lock) noexcept {
  if (!platform::critical_section_init(lock.critical_section)) {
    std::abort();
  }
  initialised_flag(lock).store(1, std::memory_order_release);
}

void initialise_once(XoltLogLock& lock) noexcept {
  if (initialised_flag(lock).load(std::memory_order_acquire) != 0) {
    return;
  }
  std::lock_guard<std::mutex> guard(initialisation_guard());
  if (initialised_flag(lock).load(std::memory_order_relaxed) == 0) {
    create_critical_section(lock);
  }
}

}  // namespace

void lock_misuse() noexcept { std::abort(); }

void lock_init(XoltLogLock& lock) noexcept { initialise_once(lock); }

void lock_acquire(XoltLogLock& lock, const char* caller) noexcept {
  initialise_once(lock);
  platform::critical_section_enter(lock.critical_section);
  if (lock.depth >= XOLTLOG_LOCK_MAX_DEPTH || lock.depth < 0) {
    lock_misuse();
  }
  lock.owners[lock.depth] = XoltLogLockOwner{platform::current_thread_id(), caller};
  ++lock.depth;
}

void lock_release(XoltLogLock& lock, const char* caller) noexcept {
  if (lock.depth <= 0 || lock.depth > XOLTLOG_LOCK_MAX_DEPTH) {
    lock_misuse();
  }
  --lock.depth;
  XoltLogLockOwner& entry = lock.owners[lock.depth];
  if (initialised_flag(lock).load(std::memory_order_acquire) == 0) {
    lock_misuse();
  }
  if (entry.thread_id != platform::current_thread_id() || entry.caller != caller) {
    lock_misuse();
  }
  entry = XoltLogLockOwner{0, nullptr};
  platform::critical_section_leave(lock.critical_section);
}

void lock_destroy(XoltLogLock& lock) noexcept {
  std::lock_guard<std::mutex> guard(initialisation_guard());
  if (initialised_flag(lock).load(std::memory_order_acquire) == 0 || lock.depth != 0) {
    lock_misuse();
  }
  platform::critical_section_destroy(lock.critical_section);
  initialised_flag(lock).store(0, std::memory_order_release);
}

}  // namespace xoltlog
