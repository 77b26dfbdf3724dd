// Whole-file replacement on POSIX: streams that child processes do not
// inherit, rename as the one-step replacement, and flock on a directory as
// the lock that every rewriter of a file in it takes.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/posix/registry_key.h"
#include "platform/posix/syscalls.h"
#include "platform/posix/unique_fd.h"
#include "platform/registry.h"

namespace xoltlog::platform {
namespace {

using posix::syscalls;
using posix::UniqueFd;

constexpr mode_t kDefaultFileMode = 0666;

StreamPtr adopt(UniqueFd fd, const char* mode) noexcept {
  std::FILE* stream = fdopen(fd.get(), mode);
  if (stream != nullptr) {
    fd.release();
  }
  return StreamPtr(stream);
}

bool is_access_denied(int error) noexcept {
  return error == EACCES || error == EPERM || error == EROFS;
}

bool write_all(int fd, std::string_view bytes) noexcept {
  while (!bytes.empty()) {
    const ssize_t written = syscalls().write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
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
  return is_access_denied(errno) ? ReplaceStatus::kAccessDenied : ReplaceStatus::kFailed;
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

namespace posix {

RegistryStatus registry_status_of(int error) noexcept {
  if (error == ENOENT || error == ENOTDIR) {
    return RegistryStatus::kNotFound;
  }
  return is_access_denied(error) ? RegistryStatus::kAccessDenied : RegistryStatus::kFailed;
}

RegistryStatus write_values_file(const std::string& directory, std::string_view bytes) {
  const std::string temporary = directory + "/" + kValuesTemporary;
  const std::string target = directory + "/" + kValuesFile;
  UniqueFd fd(syscalls().open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                              kDefaultFileMode));
  if (!fd) {
    return registry_status_of(errno);
  }
  bool written = write_all(fd.get(), bytes) && syscalls().fsync(fd.get()) == 0;
  written = syscalls().close(fd.release()) == 0 && written;
  if (written && syscalls().rename(temporary.c_str(), target.c_str()) == 0) {
    return RegistryStatus::kOk;
  }
  const int error = errno;
  syscalls().unlink(temporary.c_str());
  return registry_status_of(error);
}

}  // namespace posix
}  // namespace xoltlog::platform
