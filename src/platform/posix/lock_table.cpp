#include "platform/posix/lock_table.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/posix/syscalls.h"
#include "platform/posix/unique_fd.h"

namespace xoltlog::platform::posix {
namespace {

constexpr std::size_t kTableBytes = sizeof(LockSlot) * kLockSlots;
constexpr std::uint32_t kSlotNew = 0;
constexpr std::uint32_t kSlotInitialising = 1;
constexpr std::uint32_t kSlotReady = 2;
// How long to wait for another process to finish initialising a slot before
// concluding it died doing so.
constexpr int kInitialisationWaitRounds = 100000;

static_assert(std::atomic<std::uint32_t>::is_always_lock_free);

std::uint64_t hash_name(std::string_view name) noexcept {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (const char c : name) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  }
  return hash;
}

// Every opener sizes the object: the creator may not have done so yet, and
// growing to the same size twice changes nothing.
LockSlot* map_table(const char* name) noexcept {
  UniqueFd fd(syscalls().shm_open(name, O_RDWR | O_CREAT | O_CLOEXEC, 0666));
  if (!fd) {
    return nullptr;
  }
  // The table is for every user of the machine, whatever this umask says.
  syscalls().fchmod(fd.get(), 0666);
  struct stat status {};
  if (syscalls().fstat(fd.get(), &status) != 0) {
    return nullptr;
  }
  if (static_cast<std::size_t>(status.st_size) < kTableBytes &&
      syscalls().ftruncate(fd.get(), static_cast<off_t>(kTableBytes)) != 0) {
    return nullptr;
  }
  void* memory = mmap(nullptr, kTableBytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd.get(), 0);
  return memory == MAP_FAILED ? nullptr : static_cast<LockSlot*>(memory);
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

bool wait_until_ready(LockSlot& slot) noexcept {
  for (int round = 0; round < kInitialisationWaitRounds; ++round) {
    if (slot.state.load(std::memory_order_acquire) == kSlotReady) {
      return true;
    }
    sched_yield();
  }
  return false;
}

// The first user of a slot, in any process, initialises its mutex.
bool make_ready(LockSlot& slot) noexcept {
  std::uint32_t state = slot.state.load(std::memory_order_acquire);
  if (state == kSlotReady) {
    return true;
  }
  if (state == kSlotNew &&
      slot.state.compare_exchange_strong(state, kSlotInitialising, std::memory_order_acq_rel)) {
    if (!init_mutex(slot.mutex)) {
      slot.state.store(kSlotNew, std::memory_order_release);
      return false;
    }
    slot.state.store(kSlotReady, std::memory_order_release);
    return true;
  }
  return wait_until_ready(slot);
}

LockTable* create_process_table() noexcept {
  const char* configured = std::getenv(kLockTableVariable);
  const char* name = configured != nullptr && *configured != '\0' ? configured : kLockTableName;
  if (std::strcmp(name, "none") == 0) {
    return new (std::nothrow) LockTable(nullptr);
  }
  return new (std::nothrow) LockTable(name);
}

}  // namespace

LockTable::LockTable(const char* name) noexcept
    : slots_(name != nullptr ? map_table(name) : nullptr) {}

LockTable::~LockTable() {
  if (slots_ != nullptr) {
    munmap(slots_, kTableBytes);
  }
}

LockSlot* LockTable::slot_for(std::string_view name) noexcept {
  if (slots_ == nullptr) {
    return nullptr;
  }
  LockSlot& slot = slots_[hash_name(name) % kLockSlots];
  return make_ready(slot) ? &slot : nullptr;
}

LockTable& process_lock_table() noexcept {
  static LockTable* const table = create_process_table();
  static LockTable unusable(nullptr);
  return table != nullptr ? *table : unusable;
}

bool lock_slot(LockSlot& slot) noexcept {
  const int result = pthread_mutex_lock(&slot.mutex);
  if (result == EOWNERDEAD) {
    // The holder died; whatever it was appending went out in one write or
    // not at all, so the file is consistent and the mutex can be too.
    pthread_mutex_consistent(&slot.mutex);
    return true;
  }
  return result == 0;
}

void unlock_slot(LockSlot& slot) noexcept { pthread_mutex_unlock(&slot.mutex); }

}  // namespace xoltlog::platform::posix
