// The cross-process append: one write at the end of the file while the
// file's lock is held, so records of concurrent writers never interleave.
#include <cerrno>
#include <optional>

#include "platform/disk_full.h"
#include "platform/file_primitives.h"
#include "platform/posix/append_lock.h"
#include "platform/posix/file_context.h"
#include "platform/posix/syscalls.h"
#include "platform/posix/tracked_size.h"
#include "platform/posix/write_all.h"

namespace xoltlog::platform {
namespace {

using posix::syscalls;

bool is_disk_full(int error) noexcept { return error == ENOSPC || error == EDQUOT; }

// Takes back the part of a record that a failing write left behind, so that
// the file never holds a torn record. Only the rare failure path pays for it.
void remove_fragment(int fd, std::size_t fragment) noexcept {
  struct stat status {};
  if (fragment != 0 && syscalls().fstat(fd, &status) == 0 &&
      static_cast<std::size_t>(status.st_size) >= fragment) {
    syscalls().ftruncate(fd, status.st_size - static_cast<off_t>(fragment));
  }
}

// Writes everything, going on after a short write while the lock is still
// held (the rest lands directly behind the first part); a failure leaves no
// fragment behind.
bool write_record(int fd, const void* bytes, std::size_t count) noexcept {
  std::size_t written = 0;
  if (posix::write_all(fd, bytes, count, &written)) {
    return true;
  }
  const int error = errno;
  if (is_disk_full(error)) {
    note_disk_full();
  }
  remove_fragment(fd, written);
  errno = error;
  return false;
}

bool can_append(const XoltLogFileContext& context, const void* bytes,
                std::uint32_t count) noexcept {
  return context.file != 0 && (bytes != nullptr || count == 0) && count <= INT32_MAX;
}

// Keeps the size the lock table holds for the file in step with an append
// that the appender tracks; an append it cannot account for makes the size
// unknown, so that nobody decides on a stale one.
void track_append(posix::LockSlot& slot, int fd, const FileIdentity& identity,
                  std::int32_t appended) noexcept {
  if (appended < 0) {
    posix::forget_size(slot);
    return;
  }
  if (posix::add_to_size(slot, identity, static_cast<std::uint64_t>(appended))) {
    return;
  }
  struct stat status {};
  if (syscalls().fstat(fd, &status) == 0) {
    posix::record_size(slot, identity, static_cast<std::uint64_t>(status.st_size));
  } else {
    posix::forget_size(slot);
  }
}

}  // namespace

namespace posix {

std::int32_t append_holding_lock(int fd, const void* bytes, std::uint32_t count) noexcept {
  const bool written = write_record(fd, bytes, count);
  // A write that put bytes into the file has already stamped its time.
  if (!written || count == 0) {
    syscalls().futimens(fd, nullptr);
  }
  return written ? static_cast<std::int32_t>(count) : -1;
}

void end_torn_record(int fd) noexcept {
  struct stat status {};
  char last = '\n';
  if (syscalls().fstat(fd, &status) == 0 && status.st_size > 0 &&
      syscalls().pread(fd, &last, 1, status.st_size - 1) == 1 && last != '\n') {
    write_record(fd, "\n", 1);
  }
}

}  // namespace posix

namespace {

// Whether the file was deleted: marked so, or, when deletions under its
// lock happened since the appender last looked, without a link left.
bool deleted(const posix::LockSlot& slot, int fd, FileIdentity& identity) noexcept {
  if (posix::marked_deleted(slot, identity)) {
    return true;
  }
  const std::uint64_t deletions = slot.deleted.deletions.load(std::memory_order_relaxed);
  if (deletions == identity.deletions_seen) {
    return false;
  }
  struct stat status {};
  if (syscalls().fstat(fd, &status) != 0) {
    return false;  // looked at again at the next append
  }
  identity.deletions_seen = deletions;
  return status.st_nlink == 0;
}

// The append under the file's lock; then, with the lock still held, what
// the table slot must learn of it.
template <typename Track>
std::int32_t locked_append(XoltLogFileContext& context, const void* bytes, std::uint32_t count,
                           FileIdentity* identity, Track track) noexcept {
  if (!can_append(context, bytes, count)) {
    return -1;
  }
  const int fd = posix::descriptor_of(context);
  posix::AppendLock lock(context);
  if (!lock.held()) {
    return -1;
  }
  if (identity != nullptr && deleted(lock.slot(), fd, *identity)) {
    return kFileDeleted;
  }
  if (lock.taken_over()) {
    posix::end_torn_record(fd);
  }
  const std::int32_t appended = posix::append_holding_lock(fd, bytes, count);
  track(lock.slot(), fd, appended);
  return appended;
}

}  // namespace

std::int32_t file_append(XoltLogFileContext& context, const void* bytes,
                         std::uint32_t count) noexcept {
  return locked_append(context, bytes, count, nullptr,
                       [](posix::LockSlot& slot, int, std::int32_t) { posix::forget_size(slot); });
}

std::int32_t file_append_tracked(XoltLogFileContext& context, FileIdentity& identity,
                                 const void* bytes, std::uint32_t count) noexcept {
  return locked_append(context, bytes, count, &identity,
                       [&](posix::LockSlot& slot, int fd, std::int32_t appended) {
                         track_append(slot, fd, identity, appended);
                       });
}

bool tracked_file_size(const XoltLogFileContext& context, const FileIdentity& identity,
                       std::uint64_t& size) noexcept {
  const posix::LockSlot* slot = posix::lock_slot_of(context);
  if (slot == nullptr) {
    return false;
  }
  const std::optional<std::uint64_t> known = posix::read_size(*slot, identity);
  if (known) {
    size = *known;
  }
  return known.has_value();
}

}  // namespace xoltlog::platform
