#include "platform/posix/tracked_size.h"

namespace xoltlog::platform::posix {
namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

bool is_file(const TrackedSize& tracked, const FileIdentity& identity) noexcept {
  return tracked.device.load(kRelaxed) == identity.device &&
         tracked.inode.load(kRelaxed) == identity.inode;
}

// Brackets a change so that readers can tell they raced with it. Only the
// mutex holder changes the fields, so plain stores do; no locked
// instruction is needed on the append path.
template <typename Change>
void change(TrackedSize& tracked, Change apply) noexcept {
  const std::uint32_t sequence = tracked.sequence.load(kRelaxed);
  tracked.sequence.store(sequence + 1, kRelaxed);
  std::atomic_thread_fence(std::memory_order_release);
  apply();
  tracked.sequence.store(sequence + 2, std::memory_order_release);
}

}  // namespace

void forget_size(LockSlot& slot) noexcept {
  // Untracked appends come in runs: only the first of them has to write.
  if (slot.tracked.known.load(kRelaxed) != 0) {
    change(slot.tracked, [&] { slot.tracked.known.store(0, kRelaxed); });
  }
}

void record_size(LockSlot& slot, const FileIdentity& identity, std::uint64_t size) noexcept {
  change(slot.tracked, [&] {
    slot.tracked.device.store(identity.device, kRelaxed);
    slot.tracked.inode.store(identity.inode, kRelaxed);
    slot.tracked.size.store(size, kRelaxed);
    slot.tracked.known.store(1, kRelaxed);
  });
}

void discard_size(LockSlot& slot) noexcept {
  TrackedSize& tracked = slot.tracked;
  const std::uint32_t sequence = tracked.sequence.load(kRelaxed);
  tracked.sequence.store(sequence | 1, kRelaxed);
  std::atomic_thread_fence(std::memory_order_release);
  tracked.known.store(0, kRelaxed);
  tracked.sequence.store((sequence | 1) + 1, std::memory_order_release);
}

bool add_to_size(LockSlot& slot, const FileIdentity& identity, std::uint64_t grown) noexcept {
  TrackedSize& tracked = slot.tracked;
  if (tracked.known.load(kRelaxed) == 0 || !is_file(tracked, identity)) {
    return false;
  }
  change(tracked, [&] { tracked.size.store(tracked.size.load(kRelaxed) + grown, kRelaxed); });
  return true;
}

void mark_deleted(LockSlot& slot, const FileIdentity& identity) noexcept {
  slot.deleted.device.store(identity.device, kRelaxed);
  slot.deleted.inode.store(identity.inode, kRelaxed);
  slot.deleted.deletions.store(slot.deleted.deletions.load(kRelaxed) + 1, kRelaxed);
}

bool marked_deleted(const LockSlot& slot, const FileIdentity& identity) noexcept {
  return slot.deleted.inode.load(kRelaxed) == identity.inode &&
         slot.deleted.device.load(kRelaxed) == identity.device;
}

void clear_deleted(LockSlot& slot, const FileIdentity& identity) noexcept {
  if (marked_deleted(slot, identity)) {
    slot.deleted.inode.store(0, kRelaxed);
  }
}

std::optional<std::uint64_t> read_size(const LockSlot& slot,
                                       const FileIdentity& identity) noexcept {
  const TrackedSize& tracked = slot.tracked;
  const std::uint32_t before = tracked.sequence.load(std::memory_order_acquire);
  const bool known = tracked.known.load(kRelaxed) != 0 && is_file(tracked, identity);
  const std::uint64_t size = tracked.size.load(kRelaxed);
  std::atomic_thread_fence(std::memory_order_acquire);
  const std::uint32_t after = tracked.sequence.load(kRelaxed);
  if ((before & 1) != 0 || before != after || !known) {
    return std::nullopt;
  }
  return size;
}

}  // namespace xoltlog::platform::posix
