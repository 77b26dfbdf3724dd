// The files of the registry stand-in: a key's values file, rewritten whole
// and moved over the old one.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/posix/error_kinds.h"
#include "platform/posix/registry_key.h"
#include "platform/posix/syscalls.h"
#include "platform/posix/unique_fd.h"
#include "platform/registry.h"

namespace xoltlog::platform {
namespace {

using posix::is_access_denied;
using posix::is_path_not_found;
using posix::kDefaultFileMode;
using posix::syscalls;
using posix::UniqueFd;

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

namespace posix {

RegistryStatus registry_status_of(int error) noexcept {
  if (is_path_not_found(error)) {
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
