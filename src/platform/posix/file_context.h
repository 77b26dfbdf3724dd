// How the POSIX layer keeps its descriptor and lock in a file context's
// pointer-sized slots: the descriptor as fd + 1 (0 is a valid descriptor,
// and an empty slot is 0), the lock as its slot in a lock region (null for
// a file open for reading).
#pragma once

#include <cstdint>

#include "platform/posix/lock_slot.h"
#include "xoltlog/platform.h"

namespace xoltlog::platform::posix {

inline int descriptor_of(const XoltLogFileContext& context) noexcept {
  return static_cast<int>(context.file) - 1;
}

inline void store_descriptor(XoltLogFileContext& context, int fd) noexcept {
  context.file = static_cast<std::uintptr_t>(fd) + 1;
}

inline LockSlot* lock_slot_of(const XoltLogFileContext& context) noexcept {
  return reinterpret_cast<LockSlot*>(context.mutex);
}

// -7 for path-not-found and access-denied errors, -6 for the rest.
std::int32_t open_failure_code(int error) noexcept;

}  // namespace xoltlog::platform::posix
