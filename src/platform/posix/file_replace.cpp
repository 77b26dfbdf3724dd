// Whole-file replacement on POSIX: an exclusive, link-refusing temporary
// file written through the system-call table, rename as the one-step
// replacement, fsync of the file and then of its directory, and flock on
// the directory as the lock that every rewriter of a file in it takes.
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/file_path.h"
#include "platform/file_replace.h"
#include "platform/posix/error_kinds.h"
#include "platform/posix/file_modes.h"
#include "platform/posix/syscalls.h"
#include "platform/posix/unique_fd.h"
#include "platform/posix/write_all.h"

namespace xoltlog::platform {
namespace {

using posix::syscalls;
using posix::UniqueFd;

// As many links as the kernel itself follows in one path.
constexpr int kMaxLinks = 40;

// The file that a chain of symbolic links at path leads to: path itself
// when it is no link (a file that does not exist yet included); none for a
// loop or a link text too long to read whole.
std::optional<std::string> resolve_links(std::string path) {
  for (int links = 0; links <= kMaxLinks; ++links) {
    char text[PATH_MAX];
    const ssize_t length = syscalls().readlink(path.c_str(), text, sizeof text);
    if (length < 0) {
      return path;
    }
    if (static_cast<std::size_t>(length) >= sizeof text) {
      errno = ENAMETOOLONG;
      return std::nullopt;
    }
    const std::string_view link(text, static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    // A relative link is read from the link's own directory.
    path = link.starts_with('/') || slash == std::string::npos
               ? std::string(link)
               : path.substr(0, slash + 1) + std::string(link);
  }
  errno = ELOOP;
  return std::nullopt;
}

// Only a privileged process may give a file away; any other keeps its own
// user and takes the replaced file's group where it belongs to that group.
// Neither failure stops the replacement: the file stays its writer's.
void keep_owner(int fd, const struct stat& replaced) noexcept {
  struct stat own {};
  if (syscalls().fstat(fd, &own) != 0 ||
      (own.st_uid == replaced.st_uid && own.st_gid == replaced.st_gid)) {
    return;
  }
  if (syscalls().fchown(fd, replaced.st_uid, replaced.st_gid) != 0 &&
      own.st_gid != replaced.st_gid) {
    syscalls().fchown(fd, static_cast<uid_t>(-1), replaced.st_gid);
  }
}

// A directory that cannot be opened or does not support syncing still has
// the new file; only a sync that fails is reported.
bool sync_directory(const std::string& directory) noexcept {
  const UniqueFd fd(syscalls().open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
  return !fd || syscalls().fsync(fd.get()) == 0 || errno == EINVAL;
}

}  // namespace

FileReplacement::FileReplacement(std::string_view path, LinkPolicy links) {
  std::optional<std::string> target(std::string{path});
  if (links == LinkPolicy::kFollow) {
    target = resolve_links(std::move(*target));
  }
  resolved_ = target.has_value();
  target_ = resolved_ ? std::move(*target) : std::string(path);
  directory_ = directory_of(target_);
  temporary_ = target_ + ".tmp";
}

FileReplacement::~FileReplacement() {
  const UniqueFd closing(static_cast<int>(handle_));
  if (created_ && !replaced_) {
    syscalls().unlink(temporary_.c_str());
  }
}

bool FileReplacement::create() noexcept {
  if (!resolved_) {
    errno = ELOOP;
    return false;
  }
  constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
  int fd = syscalls().open(temporary_.c_str(), kFlags, posix::kPrivateFileMode);
  if (fd < 0 && errno == EEXIST) {
    // unlink removes a link itself, never the file it names.
    if (syscalls().unlink(temporary_.c_str()) != 0 && errno != ENOENT) {
      return false;
    }
    fd = syscalls().open(temporary_.c_str(), kFlags, posix::kPrivateFileMode);
  }
  if (fd < 0) {
    return false;
  }
  handle_ = fd;
  created_ = true;
  return true;
}

bool FileReplacement::flush() noexcept {
  ok_ = ok_ && handle_ >= 0 && posix::write_all(static_cast<int>(handle_), buffer_.data(), buffered_);
  buffered_ = 0;
  return ok_;
}

bool FileReplacement::write(std::string_view bytes) noexcept {
  while (ok_ && !bytes.empty()) {
    if (buffered_ == buffer_.size()) {
      flush();
      continue;
    }
    const std::size_t count = std::min(bytes.size(), buffer_.size() - buffered_);
    std::memcpy(buffer_.data() + buffered_, bytes.data(), count);
    buffered_ += count;
    bytes.remove_prefix(count);
  }
  return ok_;
}

// The owner first: changing it may clear mode bits.
bool FileReplacement::apply_permissions() noexcept {
  const int fd = static_cast<int>(handle_);
  struct stat replaced {};
  if (syscalls().lstat(target_.c_str(), &replaced) == 0 && S_ISREG(replaced.st_mode)) {
    keep_owner(fd, replaced);
    return syscalls().fchmod(fd, replaced.st_mode & 0777) == 0;
  }
  return syscalls().fchmod(fd, posix::kSharedFileMode) == 0;
}

bool FileReplacement::finish() noexcept {
  if (handle_ < 0) {
    return ok_ = false;
  }
  const bool written =
      flush() && apply_permissions() && syscalls().fsync(static_cast<int>(handle_)) == 0;
  const bool closed = syscalls().close(static_cast<int>(std::exchange(handle_, -1))) == 0;
  return ok_ = written && closed;
}

ReplaceStatus FileReplacement::replace() noexcept {
  if (!ok_ || !created_ || handle_ >= 0) {
    return ReplaceStatus::kFailed;
  }
  if (syscalls().rename(temporary_.c_str(), target_.c_str()) != 0) {
    return posix::is_access_denied(errno) ? ReplaceStatus::kAccessDenied : ReplaceStatus::kFailed;
  }
  replaced_ = true;
  return sync_directory(directory_) ? ReplaceStatus::kOk : ReplaceStatus::kFailed;
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
