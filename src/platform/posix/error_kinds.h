// The classes of errno values that callers report differently: what
// Windows calls path-not-found and access-denied.
#pragma once

#include <sys/types.h>

#include <cerrno>

namespace xoltlog::platform::posix {

inline bool is_path_not_found(int error) noexcept { return error == ENOENT || error == ENOTDIR; }

inline bool is_access_denied(int error) noexcept {
  return error == EACCES || error == EPERM || error == EROFS;
}

}  // namespace xoltlog::platform::posix
