// The cross-process append: one write at the end of the file while the
// file's lock is held, so records of concurrent writers never interleave.
#include <sys/file.h>

#include <cerrno>

#include "platform/disk_full.h"
#include "platform/file_primitives.h"
#include "platform/posix/file_context.h"
#include "platform/posix/syscalls.h"

namespace xoltlog::platform {
namespace {

using posix::syscalls;

bool is_disk_full(int error) noexcept { return error == ENOSPC || error == EDQUOT; }

// Holds the file's lock for a scope: its table slot when it has one, else an
// exclusive flock on the file itself (no table, or a slot whose mutex can no
// longer be had).
class AppendLock {
 public:
  AppendLock(const XoltLogFileContext& context, int fd) noexcept
      : slot_(posix::lock_slot_of(context)), fd_(fd) {
    if (slot_ != nullptr && posix::lock_slot(*slot_)) {
      return;
    }
    slot_ = nullptr;
    flocked_ = syscalls().flock(fd_, LOCK_EX) == 0;
  }
  ~AppendLock() {
    if (slot_ != nullptr) {
      posix::unlock_slot(*slot_);
    } else if (flocked_) {
      syscalls().flock(fd_, LOCK_UN);
    }
  }
  AppendLock(const AppendLock&) = delete;
  AppendLock& operator=(const AppendLock&) = delete;

  bool held() const noexcept { return slot_ != nullptr || flocked_; }

 private:
  posix::LockSlot* slot_;
  int fd_;
  bool flocked_ = false;
};

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
// held (the rest lands directly behind the first part).
bool write_all(int fd, const char* bytes, std::size_t count) noexcept {
  std::size_t written = 0;
  while (written < count) {
    const ssize_t result = syscalls().write(fd, bytes + written, count - written);
    if (result > 0) {
      written += static_cast<std::size_t>(result);
    } else if (result < 0 && errno != EINTR) {
      const int error = errno;
      if (is_disk_full(error)) {
        note_disk_full();
      }
      remove_fragment(fd, written);
      errno = error;
      return false;
    }
  }
  return true;
}

}  // namespace

std::int32_t file_append(XoltLogFileContext& context, const void* bytes,
                         std::uint32_t count) noexcept {
  if (context.file == 0 || (bytes == nullptr && count != 0) || count > INT32_MAX) {
    return -1;
  }
  const int fd = posix::descriptor_of(context);
  AppendLock lock(context, fd);
  if (!lock.held()) {
    return -1;
  }
  const bool written = write_all(fd, static_cast<const char*>(bytes), count);
  // A write that put bytes into the file has already stamped its time.
  if (!written || count == 0) {
    syscalls().futimens(fd, nullptr);
  }
  return written ? static_cast<std::int32_t>(count) : -1;
}

}  // namespace xoltlog::platform
