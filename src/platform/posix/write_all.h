// Writing a whole byte range through the system-call table.
#pragma once

#include <cerrno>
#include <cstddef>
#include <string_view>

#include "platform/posix/syscalls.h"

namespace xoltlog::platform::posix {

// Writes all count bytes, going on after short writes and interruptions.
// False on failure with errno set (EIO for a write that wrote nothing);
// done, when given, receives the number of bytes written in either case.
inline bool write_all(int fd, const void* bytes, std::size_t count,
                      std::size_t* done = nullptr) noexcept {
  const char* next = static_cast<const char*>(bytes);
  std::size_t written = 0;
  bool ok = true;
  while (written < count) {
    const ssize_t result = syscalls().write(fd, next + written, count - written);
    if (result > 0) {
      written += static_cast<std::size_t>(result);
    } else if (result == 0 || errno != EINTR) {
      errno = result == 0 ? EIO : errno;
      ok = false;
      break;
    }
  }
  if (done != nullptr) {
    *done = written;
  }
  return ok;
}

inline bool write_all(int fd, std::string_view bytes) noexcept {
  return write_all(fd, bytes.data(), bytes.size());
}

}  // namespace xoltlog::platform::posix
