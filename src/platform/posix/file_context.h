// How the POSIX layer keeps its descriptor and lock in a file context's
// pointer-sized slots: the descriptor as fd + 1 (0 is a valid descriptor,
// and an empty slot is 0), the lock as its table slot or the flock marker.
#pragma once

#include <cstdint>

#include "platform/posix/lock_table.h"
#include "xoltlog/platform.h"

namespace xoltlog::platform::posix {

// The lock slot value of a context whose appends lock the file itself.
inline constexpr std::uintptr_t kFileLockMarker = 1;

inline int descriptor_of(const XoltLogFileContext& context) noexcept {
  return static_cast<int>(context.file) - 1;
}

inline void store_descriptor(XoltLogFileContext& context, int fd) noexcept {
  context.file = static_cast<std::uintptr_t>(fd) + 1;
}

inline LockSlot* lock_slot_of(const XoltLogFileContext& context) noexcept {
  return context.mutex > kFileLockMarker ? reinterpret_cast<LockSlot*>(context.mutex) : nullptr;
}

// -7 for path-not-found and access-denied errors, -6 for the rest.
std::int32_t open_failure_code(int error) noexcept;

}  // namespace xoltlog::platform::posix
