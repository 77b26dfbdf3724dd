// One file's cross-process lock: a robust, process-shared mutex in a lock
// region (see lock_region.h), beside the file's size as its appenders keep
// it. Uncontended, taking and leaving it costs no system call. A process
// that dies holding it does not block the others: the next locker takes it
// over and discards the size the dead holder may have been changing.
#pragma once

#include <pthread.h>

#include <atomic>
#include <cstdint>

namespace xoltlog::platform::posix {

// The size of the file last appended through a slot, so that writers can
// check it for rollover without a system call. It changes only under the
// slot's mutex; readers without the mutex use the sequence number, odd while
// a change is under way, to see a consistent copy.
struct TrackedSize {
  std::atomic<std::uint32_t> sequence;
  std::atomic<std::uint32_t> known;
  std::atomic<std::uint64_t> device;
  std::atomic<std::uint64_t> inode;
  std::atomic<std::uint64_t> size;
};

// The file last deleted through the library while this slot was its lock,
// so that appenders still holding it open stop writing records nobody will
// see. Inode 0 marks nothing. Changed and read under the slot's mutex; an
// inode is not reused while anyone holds the deleted file open, and whoever
// opens a file that reuses it clears the mark. Files share slots, so a
// later deletion can overwrite the mark of a file that is still being
// written: the count of deletions tells its appenders to look at the link
// count once, whenever it moved since they last looked.
struct DeletedFile {
  std::atomic<std::uint64_t> device;
  std::atomic<std::uint64_t> inode;
  std::atomic<std::uint64_t> deletions;
};

struct alignas(64) LockSlot {
  pthread_mutex_t mutex;
  // Nonzero while a process re-creates a damaged mutex.
  std::atomic<std::uint32_t> repairing;
  TrackedSize tracked;
  DeletedFile deleted;
};

static_assert(std::atomic<std::uint32_t>::is_always_lock_free);
static_assert(std::atomic<std::uint64_t>::is_always_lock_free);

// How a slot was taken.
enum class SlotLock {
  kHeld,           // taken
  kHeldAfterDeath, // taken over from a holder that died while holding it
  kFailed,         // cannot be had, even after repairing the mutex
};

// Makes a slot usable: a fresh robust, process-shared mutex and no size
// known. Only for a slot nobody can be using (a region being set up, or a
// damaged mutex under repair). False when the mutex cannot be made.
bool init_slot(LockSlot& slot) noexcept;

// Locks a slot's mutex without a time limit. A mutex left unusable (by
// damage to the region, or a holder that died without it being made
// consistent) is re-created once and tried again.
SlotLock lock_slot(LockSlot& slot) noexcept;
void unlock_slot(LockSlot& slot) noexcept;

}  // namespace xoltlog::platform::posix
