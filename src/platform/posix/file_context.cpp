#include "platform/posix/file_context.h"

#include <fcntl.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/file_primitives.h"
#include "platform/posix/append_lock.h"
#include "platform/posix/error_kinds.h"
#include "platform/posix/file_modes.h"
#include "platform/posix/lock_region.h"
#include "platform/posix/sddl_mode.h"
#include "platform/posix/syscalls.h"
#include "platform/posix/tracked_size.h"
#include "platform/posix/unique_fd.h"

namespace xoltlog::platform {
namespace posix {

std::int32_t open_failure_code(int error) noexcept {
  return is_path_not_found(error) || is_access_denied(error) ? -7 : -6;
}

}  // namespace posix

namespace {

using posix::kDefaultFileMode;
using posix::syscalls;
using posix::UniqueFd;

bool is_read_mode(std::int32_t mode) noexcept { return (mode & ~XOLTLOG_OPEN_TRUNCATE) != 0; }

UniqueFd open_for_reading(const char* name) noexcept {
  return UniqueFd(syscalls().open(name, O_RDONLY | O_CLOEXEC, 0));
}

// Creates the file exclusively first, so that the SDDL permissions are
// applied only to a file this call made, never to someone else's. Appenders
// read too where they may: after a writer died in the middle of a record,
// the next one looks at the file's last byte.
UniqueFd open_for_appending(const char* name, std::int32_t mode, const char* sddl,
                            bool& created) noexcept {
  const int truncate = mode == XOLTLOG_OPEN_TRUNCATE ? O_TRUNC : 0;
  const int flags = O_RDWR | O_APPEND | O_CLOEXEC | truncate;
  const std::optional<posix::SddlModes> modes = posix::modes_from_sddl(sddl);
  UniqueFd fd(syscalls().open(name, flags | O_CREAT | O_EXCL, kDefaultFileMode));
  created = static_cast<bool>(fd);
  if (fd) {
    if (modes) {
      syscalls().fchmod(fd.get(), modes->file);
    }
    return fd;
  }
  if (errno != EEXIST) {
    return fd;
  }
  fd = UniqueFd(syscalls().open(name, flags | O_CREAT, kDefaultFileMode));
  if (!fd && errno == EACCES) {
    fd = UniqueFd(syscalls().open(name, (flags & ~O_RDWR) | O_WRONLY | O_CREAT, kDefaultFileMode));
  }
  return fd;
}

// An emptied file's size must not be taken from what appenders knew before.
void forget_tracked_size(const XoltLogFileContext& context) noexcept {
  posix::AppendLock lock(context);
  if (lock.held()) {
    posix::forget_size(lock.slot());
  }
}

// The lock is that of the file now open, found by its inode, so every
// path text of one file meets the same lock. Without one the file stays
// closed: appending unlocked could tear other writers' records.
std::int32_t open_locked(XoltLogFileContext& context, const char* name, UniqueFd& fd) noexcept {
  struct stat status {};
  if (syscalls().fstat(fd.get(), &status) != 0) {
    return posix::open_failure_code(errno);
  }
  posix::LockSlot* slot = posix::attach_file_lock(name, status);
  if (slot == nullptr) {
    return -1;
  }
  posix::store_descriptor(context, fd.release());
  context.mutex = reinterpret_cast<std::uintptr_t>(slot);
  // A file found by its name is not the deleted one whose inode it reuses.
  if (posix::AppendLock lock(context); lock.held()) {
    if (lock.taken_over()) {
      posix::end_torn_record(posix::descriptor_of(context));
    }
    posix::clear_deleted(lock.slot(), FileIdentity{status.st_dev, status.st_ino, 0});
  }
  return 0;
}

void mark_buffer_empty(XoltLogFileContext& context) noexcept {
  context.read_position = -1;
  context.bytes_in_buffer = 0;
}

}  // namespace

std::int32_t file_init(XoltLogFileContext& context) noexcept {
  context.file = 0;
  context.mutex = 0;
  mark_buffer_empty(context);
  return 1;
}

std::int32_t file_open(XoltLogFileContext& context, const char* name, std::int32_t mode,
                       const char* sddl) noexcept {
  file_close(context);
  if (is_read_mode(mode)) {
    UniqueFd fd = open_for_reading(name);
    if (!fd) {
      return posix::open_failure_code(errno);
    }
    posix::store_descriptor(context, fd.release());
    return 0;
  }
  bool created = false;
  UniqueFd fd = open_for_appending(name, mode, sddl, created);
  if (!fd) {
    return posix::open_failure_code(errno);
  }
  if (const std::int32_t locked = open_locked(context, name, fd); locked != 0) {
    // A file this call made and nobody has written yet goes again, so that a
    // failed open leaves no file without its first line behind.
    struct stat status {};
    if (created && syscalls().fstat(fd.get(), &status) == 0 && status.st_size == 0) {
      syscalls().unlink(name);
    }
    return locked;
  }
  if (mode == XOLTLOG_OPEN_TRUNCATE) {
    forget_tracked_size(context);
  }
  return 0;
}

void file_close(XoltLogFileContext& context) noexcept {
  if (context.file != 0) {
    syscalls().close(posix::descriptor_of(context));
  }
  posix::detach_file_lock(posix::lock_slot_of(context));
  context.file = 0;
  context.mutex = 0;
}

std::int32_t file_read(XoltLogFileContext& context, char* buffer, std::uint32_t count) noexcept {
  const std::size_t limit = count > INT32_MAX ? INT32_MAX : count;
  ssize_t got = -1;
  if (context.file != 0) {
    do {
      got = syscalls().read(posix::descriptor_of(context), buffer, limit);
    } while (got < 0 && errno == EINTR);
  }
  if (got <= 0) {
    mark_buffer_empty(context);
    return got == 0 ? 0 : -1;
  }
  context.read_position = 0;
  context.bytes_in_buffer = static_cast<std::int32_t>(got);
  return static_cast<std::int32_t>(got);
}

std::int32_t file_size(XoltLogFileContext& context, std::uint64_t& size) noexcept {
  struct stat status {};
  if (context.file == 0 || syscalls().fstat(posix::descriptor_of(context), &status) != 0) {
    return -1;
  }
  // Callers keep the low 32 bits: log files do not grow to 4 GiB.
  size = static_cast<std::uint64_t>(status.st_size) & 0xFFFFFFFFu;
  return 0;
}

bool file_identity(const XoltLogFileContext& context, FileIdentity& identity) noexcept {
  struct stat status {};
  if (context.file == 0 || syscalls().fstat(posix::descriptor_of(context), &status) != 0) {
    return false;
  }
  identity = FileIdentity{status.st_dev, status.st_ino, kDeletionsNotSeen};
  return true;
}

std::int32_t file_open_with_first_line(XoltLogFileContext& context, const char* name,
                                       const char* sddl, const void* first_line,
                                       std::uint32_t length, bool& wrote_first_line) noexcept {
  wrote_first_line = false;
  if (const std::int32_t opened = file_open(context, name, XOLTLOG_OPEN_APPEND, sddl);
      opened != 0) {
    return opened;
  }
  const int fd = posix::descriptor_of(context);
  posix::AppendLock lock(context);
  struct stat status {};
  if (!lock.held() || syscalls().fstat(fd, &status) != 0) {
    return -5;
  }
  std::uint64_t size = static_cast<std::uint64_t>(status.st_size);
  if (size == 0) {
    if (posix::append_holding_lock(fd, first_line, length) < 0) {
      return -5;
    }
    wrote_first_line = true;
    size = length;
  }
  posix::record_size(lock.slot(), FileIdentity{status.st_dev, status.st_ino, 0}, size);
  return 0;
}

namespace {

enum class Deletion { kRemoved, kFailed, kNameReplaced };
// A name that keeps being made anew between the opening and the unlinking
// of a deletion is given up after so many tries.
constexpr int kNameAttempts = 8;

// Whether name, looked at without following a link, is still the file
// whose status was taken.
bool names_file(const char* name, const struct stat& file) noexcept {
  struct stat now {};
  return syscalls().lstat(name, &now) == 0 && now.st_dev == file.st_dev &&
         now.st_ino == file.st_ino;
}

// One try: the file is opened, its lock taken, and the name unlinked only
// while it still names that file, whose identity is then marked. A writer
// may have made a new file of that name since the old one was opened.
Deletion delete_once(const char* name) noexcept {
  const UniqueFd fd(syscalls().open(name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0));
  struct stat status {};
  posix::LockSlot* slot = nullptr;
  if (fd && syscalls().fstat(fd.get(), &status) == 0 && S_ISREG(status.st_mode)) {
    slot = posix::attach_existing_file_lock(name, status);
  }
  const bool locked = slot != nullptr && posix::lock_slot(*slot) != posix::SlotLock::kFailed;
  Deletion outcome = Deletion::kNameReplaced;
  if (!locked || names_file(name, status)) {
    outcome = syscalls().unlink(name) == 0 ? Deletion::kRemoved : Deletion::kFailed;
  }
  if (locked) {
    if (outcome == Deletion::kRemoved) {
      posix::mark_deleted(*slot, FileIdentity{status.st_dev, status.st_ino, 0});
    }
    posix::unlock_slot(*slot);
  }
  posix::detach_file_lock(slot);
  return outcome;
}

}  // namespace

// A log file being written is deleted under its lock, and marked deleted
// there, so that its appenders learn of it at their next record without a
// system call of their own.
std::int32_t file_delete(const char* name) noexcept {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const Deletion outcome = delete_once(name);
    if (outcome != Deletion::kNameReplaced) {
      return outcome == Deletion::kRemoved ? 0 : -1;
    }
  }
  return -1;
}

bool file_removed(const XoltLogFileContext& context) noexcept {
  struct stat status {};
  return context.file != 0 && syscalls().fstat(posix::descriptor_of(context), &status) == 0 &&
         status.st_nlink == 0;
}

}  // namespace xoltlog::platform
