// Holding a file's cross-process lock around an append.
#pragma once

#include <cstdint>

#include "platform/posix/file_context.h"
#include "platform/posix/lock_slot.h"

namespace xoltlog::platform::posix {

// Holds the file's lock for a scope. A context without a lock slot (not
// open for appending) is never appended to.
class AppendLock {
 public:
  explicit AppendLock(const XoltLogFileContext& context) noexcept
      : slot_(lock_slot_of(context)),
        taken_(slot_ != nullptr ? lock_slot(*slot_) : SlotLock::kFailed) {}
  ~AppendLock() {
    if (held()) {
      unlock_slot(*slot_);
    }
  }
  AppendLock(const AppendLock&) = delete;
  AppendLock& operator=(const AppendLock&) = delete;

  bool held() const noexcept { return taken_ != SlotLock::kFailed; }
  // True when the previous holder died holding the lock, perhaps in the
  // middle of a record.
  bool taken_over() const noexcept { return taken_ == SlotLock::kHeldAfterDeath; }
  LockSlot& slot() const noexcept { return *slot_; }

 private:
  LockSlot* slot_;
  SlotLock taken_;
};

// Appends with the lock already held: one write (completed after a short
// one), the time stamped when the write did not, and no fragment left by a
// write that failed. The count written, or -1.
std::int32_t append_holding_lock(int fd, const void* bytes, std::uint32_t count) noexcept;

// After taking the lock over from a holder that died: a record it left
// half written gets its line end, so that the next record starts a line of
// its own and readers see one damaged record, not two.
void end_torn_record(int fd) noexcept;

}  // namespace xoltlog::platform::posix
