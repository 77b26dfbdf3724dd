#include "platform/posix/lock_slot.h"

#include <sched.h>

#include <cerrno>

#include "platform/posix/tracked_size.h"

namespace xoltlog::platform::posix {
namespace {

// How long to wait for another process repairing a slot before concluding
// that it died doing so and repairing it here.
constexpr int kRepairWaitRounds = 100000;

// A holder keeps the lock for one write. A waiter that tries again for a
// few microseconds mostly gets it without the two context switches that
// sleeping on it and being woken cost, which under two busy writers are
// the larger part of each append.
constexpr int kSpinTries = 100;

void spin_pause() noexcept {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

// pthread_mutex_lock's results, after a short spin on trylock.
int acquire(pthread_mutex_t& mutex) noexcept {
  for (int attempt = 0; attempt < kSpinTries; ++attempt) {
    const int result = pthread_mutex_trylock(&mutex);
    if (result != EBUSY) {
      return result;
    }
    spin_pause();
  }
  return pthread_mutex_lock(&mutex);
}

bool init_mutex(pthread_mutex_t& mutex) noexcept {
  pthread_mutexattr_t attributes;
  if (pthread_mutexattr_init(&attributes) != 0) {
    return false;
  }
  const bool ready = pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED) == 0 &&
                     pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST) == 0 &&
                     pthread_mutex_init(&mutex, &attributes) == 0;
  pthread_mutexattr_destroy(&attributes);
  return ready;
}

// One process re-creates the mutex while the others that found it damaged
// wait for it; a repairer that dies leaves the flag set, which the waiters
// outlast.
void repair_slot(LockSlot& slot) noexcept {
  std::uint32_t idle = 0;
  if (slot.repairing.compare_exchange_strong(idle, 1, std::memory_order_acquire)) {
    init_slot(slot);
    slot.repairing.store(0, std::memory_order_release);
    return;
  }
  for (int round = 0; round < kRepairWaitRounds; ++round) {
    if (slot.repairing.load(std::memory_order_acquire) == 0) {
      return;
    }
    sched_yield();
  }
  init_slot(slot);
  slot.repairing.store(0, std::memory_order_release);
}

}  // namespace

bool init_slot(LockSlot& slot) noexcept {
  discard_size(slot);
  return init_mutex(slot.mutex);
}

SlotLock lock_slot(LockSlot& slot) noexcept {
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int result = acquire(slot.mutex);
    if (result == 0) {
      return SlotLock::kHeld;
    }
    if (result == EOWNERDEAD) {
      pthread_mutex_consistent(&slot.mutex);
      discard_size(slot);
      return SlotLock::kHeldAfterDeath;
    }
    repair_slot(slot);
  }
  return SlotLock::kFailed;
}

void unlock_slot(LockSlot& slot) noexcept { pthread_mutex_unlock(&slot.mutex); }

}  // namespace xoltlog::platform::posix
