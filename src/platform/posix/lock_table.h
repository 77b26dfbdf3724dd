// The machine-wide table of file locks: robust, process-shared mutexes in one
// shared-memory object, so that appenders of one log file in any process
// serialise without a system call when uncontended. A file name text always
// hashes to the same slot; two texts may share a slot, which costs only
// concurrency. A process that dies holding a slot's mutex does not block the
// others: the next locker takes the mutex over.
#pragma once

#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <string_view>

namespace xoltlog::platform::posix {

inline constexpr std::uint32_t kLockSlots = 1024;
// The shared-memory object's name, versioned with the slot layout.
inline constexpr const char* kLockTableName = "/xoltlog-file-locks-2";
// Setting XOLTLOG_LOCK_TABLE names another table; "none" turns the table
// off, so that appends lock the file itself (flock) instead.
inline constexpr const char* kLockTableVariable = "XOLTLOG_LOCK_TABLE";

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

struct alignas(64) LockSlot {
  std::atomic<std::uint32_t> state;  // 0 new, 1 being initialised, 2 ready
  pthread_mutex_t mutex;
  TrackedSize tracked;
};

class LockTable {
 public:
  // Maps (creating if need be) the named table; check usable().
  explicit LockTable(const char* name) noexcept;
  ~LockTable();
  LockTable(const LockTable&) = delete;
  LockTable& operator=(const LockTable&) = delete;

  bool usable() const noexcept { return slots_ != nullptr; }
  // The slot of a file name text, its mutex ready for use; null when the
  // table is unusable or the slot could not be made ready.
  LockSlot* slot_for(std::string_view name) noexcept;

 private:
  LockSlot* slots_ = nullptr;
};

// The process's table, set up on first use from XOLTLOG_LOCK_TABLE or the
// default name. It lives until the process ends.
LockTable& process_lock_table() noexcept;

// Locks a slot's mutex, taking it over from a holder that died. False when
// the mutex cannot be had (it became unrecoverable).
bool lock_slot(LockSlot& slot) noexcept;
void unlock_slot(LockSlot& slot) noexcept;

}  // namespace xoltlog::platform::posix
