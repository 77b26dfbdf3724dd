// Keeping a file's size in its lock-table slot (see TrackedSize).
#pragma once

#include <cstdint>
#include <optional>

#include "platform/file_primitives.h"
#include "platform/posix/lock_slot.h"

namespace xoltlog::platform::posix {

// The writers below are called with the slot's mutex held.
void forget_size(LockSlot& slot) noexcept;
void record_size(LockSlot& slot, const FileIdentity& identity, std::uint64_t size) noexcept;
// Adds grown to the size when the slot knows this file's size; false when
// it does not (the caller then records the size it finds).
bool add_to_size(LockSlot& slot, const FileIdentity& identity, std::uint64_t grown) noexcept;

// Forgets the size after its keeper died, perhaps in the middle of a
// change: the sequence is made even again so that readers are not misled.
// Called with the mutex held, or on a slot nobody uses yet.
void discard_size(LockSlot& slot) noexcept;

// Deletion marks (see DeletedFile), with the slot's mutex held.
void mark_deleted(LockSlot& slot, const FileIdentity& identity) noexcept;
bool marked_deleted(const LockSlot& slot, const FileIdentity& identity) noexcept;
void clear_deleted(LockSlot& slot, const FileIdentity& identity) noexcept;

// Without the mutex: the size when the slot knows it for this file.
std::optional<std::uint64_t> read_size(const LockSlot& slot, const FileIdentity& identity) noexcept;

}  // namespace xoltlog::platform::posix
