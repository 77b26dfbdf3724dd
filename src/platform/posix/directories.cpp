// Creating a directory path, every missing level of it.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/file_primitives.h"
#include "platform/posix/file_modes.h"
#include "platform/posix/sddl_mode.h"
#include "platform/posix/syscalls.h"

namespace xoltlog::platform {
namespace {

using posix::syscalls;

// An existing directory (or anything else of that name, as the walk has
// always treated it) is not an error; a new one gets the SDDL permissions.
bool create_level(const char* path, const std::optional<posix::SddlModes>& modes) noexcept {
  if (syscalls().mkdir(path, posix::kDefaultDirectoryMode) != 0) {
    return errno == EEXIST;
  }
  if (modes) {
    syscalls().chmod(path, modes->directory);
  }
  return true;
}

}  // namespace

std::int32_t make_directories(const char* path, const char* sddl) noexcept {
  if (path == nullptr) {
    return 3;
  }
  const std::size_t length = strnlen(path, XOLTLOG_MAX_MKDIR_PATH + 1);
  if (length > XOLTLOG_MAX_MKDIR_PATH) {
    return 3;
  }
  const std::optional<posix::SddlModes> modes = posix::modes_from_sddl(sddl);
  char prefix[XOLTLOG_MAX_MKDIR_PATH + 1];
  std::memcpy(prefix, path, length + 1);
  // The walk starts behind the first character: the root itself is never
  // created, and each separator after it ends one level.
  for (std::size_t end = 1; end <= length; ++end) {
    if (end < length && prefix[end] != '/') {
      continue;
    }
    const char saved = prefix[end];
    prefix[end] = '\0';
    const bool created = create_level(prefix, modes);
    prefix[end] = saved;
    if (!created) {
      return 1;
    }
  }
  return 0;
}

}  // namespace xoltlog::platform
