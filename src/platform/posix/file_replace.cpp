// Whole-file replacement on POSIX: streams that child processes do not
// inherit, rename as the one-step replacement, and flock on a directory as
// the lock that every rewriter of a file in it takes.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_replace.h"
#include "platform/posix/error_kinds.h"
#include "platform/posix/syscalls.h"
#include "platform/posix/unique_fd.h"

namespace xoltlog::platform {
namespace {

using posix::kDefaultFileMode;
using posix::syscalls;
using posix::UniqueFd;

StreamPtr adopt(UniqueFd fd, const char* mode) noexcept {
  std::FILE* stream = fdopen(fd.get(), mode);
  if (stream != nullptr) {
    fd.release();
  }
  return StreamPtr(stream);
}

}  // namespace

StreamPtr open_read_stream(const char* path) noexcept {
  UniqueFd fd(syscalls().open(path, O_RDONLY | O_CLOEXEC, 0));
  struct stat status {};
  if (!fd || syscalls().fstat(fd.get(), &status) != 0) {
    return nullptr;
  }
  if (!S_ISREG(status.st_mode)) {
    errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    return nullptr;
  }
  return adopt(std::move(fd), "r");
}

StreamPtr create_write_stream(const char* path) noexcept {
  UniqueFd fd(syscalls().open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kDefaultFileMode));
  return fd ? adopt(std::move(fd), "w") : nullptr;
}

bool sync_stream(std::FILE* stream) noexcept {
  return std::fflush(stream) == 0 && syscalls().fsync(fileno(stream)) == 0;
}

bool is_same_file(std::FILE* stream, const char* path) noexcept {
  struct stat open_file {};
  struct stat named_file {};
  return syscalls().fstat(fileno(stream), &open_file) == 0 && ::stat(path, &named_file) == 0 &&
         open_file.st_dev == named_file.st_dev && open_file.st_ino == named_file.st_ino;
}

ReplaceStatus replace_file(const char* from, const char* to) noexcept {
  if (syscalls().rename(from, to) == 0) {
    return ReplaceStatus::kOk;
  }
  return posix::is_access_denied(errno) ? ReplaceStatus::kAccessDenied : ReplaceStatus::kFailed;
}

DirectoryLock::DirectoryLock(const char* directory) noexcept {
  UniqueFd fd(syscalls().open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
  if (!fd) {
    return;
  }
  int locked = -1;
  while ((locked = syscalls().flock(fd.get(), LOCK_EX)) != 0 && errno == EINTR) {
  }
  if (locked == 0) {
    handle_ = fd.release();
  }
}

DirectoryLock::~DirectoryLock() {
  // Closing the only descriptor of the open directory releases the lock.
  UniqueFd closing(static_cast<int>(handle_));
}

}  // namespace xoltlog::platform
