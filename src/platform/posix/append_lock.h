// Holding a file's cross-process lock around an append.
#pragma once

#include <sys/file.h>

#include <cstdint>

#include "platform/posix/file_context.h"
#include "platform/posix/lock_table.h"
#include "platform/posix/syscalls.h"

namespace xoltlog::platform::posix {

// Holds the file's lock for a scope: its table slot when it has one, else an
// exclusive flock on the file itself (no table, or a slot whose mutex can no
// longer be had).
class AppendLock {
 public:
  AppendLock(const XoltLogFileContext& context, int fd) noexcept
      : slot_(lock_slot_of(context)), fd_(fd) {
    if (slot_ != nullptr && lock_slot(*slot_)) {
      return;
    }
    slot_ = nullptr;
    flocked_ = syscalls().flock(fd_, LOCK_EX) == 0;
  }
  ~AppendLock() {
    if (slot_ != nullptr) {
      unlock_slot(*slot_);
    } else if (flocked_) {
      syscalls().flock(fd_, LOCK_UN);
    }
  }
  AppendLock(const AppendLock&) = delete;
  AppendLock& operator=(const AppendLock&) = delete;

  bool held() const noexcept { return slot_ != nullptr || flocked_; }
  // The table slot held, or null when the file itself is locked.
  LockSlot* slot() const noexcept { return slot_; }

 private:
  LockSlot* slot_;
  int fd_;
  bool flocked_ = false;
};

// Appends with the lock already held: one write (completed after a short
// one), the time stamped when the write did not, and no fragment left by a
// write that failed. The count written, or -1.
std::int32_t append_holding_lock(int fd, const void* bytes, std::uint32_t count) noexcept;

}  // namespace xoltlog::platform::posix
