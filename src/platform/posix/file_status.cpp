#include "platform/file_status.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>

#include "platform/posix/syscalls.h"
#include "platform/posix/unique_fd.h"
#include "platform/posix/write_all.h"

namespace xoltlog::platform {

using posix::syscalls;

std::optional<std::int64_t> regular_file_modified(const char* path) noexcept {
  struct stat status {};
  if (syscalls().stat(path, &status) != 0 || !S_ISREG(status.st_mode)) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(status.st_mtim.tv_sec);
}

bool path_identity(const char* path, FileIdentity& identity) noexcept {
  struct stat status {};
  if (syscalls().stat(path, &status) != 0) {
    return false;
  }
  identity = {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino), 0};
  return true;
}

bool same_file(const char* first, const char* second) noexcept {
  struct stat one {};
  struct stat other {};
  return syscalls().stat(first, &one) == 0 && syscalls().stat(second, &other) == 0 &&
         one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

bool copy_whole_file(const char* source, const char* target) noexcept {
  const posix::UniqueFd from(syscalls().open(source, O_RDONLY | O_CLOEXEC, 0));
  struct stat status {};
  if (!from || syscalls().fstat(from.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
    return false;
  }
  // Emptied only once it is known not to be the source itself.
  const posix::UniqueFd to(
      syscalls().open(target, O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, status.st_mode & 0777));
  struct stat target_status {};
  if (!to || syscalls().fstat(to.get(), &target_status) != 0 ||
      (target_status.st_dev == status.st_dev && target_status.st_ino == status.st_ino) ||
      syscalls().ftruncate(to.get(), 0) != 0) {
    return false;
  }
  std::array<char, 65536> buffer;
  for (;;) {
    const ssize_t count = syscalls().read(from.get(), buffer.data(), buffer.size());
    if (count == 0) {
      return true;
    }
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (!posix::write_all(to.get(), buffer.data(), static_cast<std::size_t>(count))) {
      return false;
    }
  }
}

}  // namespace xoltlog::platform
