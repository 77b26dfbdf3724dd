#include "platform/posix/syscalls.h"

#include <dirent.h>
#include <fcntl.h>
#include <netdb.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <unistd.h>

namespace xoltlog::platform::posix {
namespace {

// open and the like are variadic or overloaded in the C library; these give
// them the plain signatures of the table.
int open_file(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
int open_shared_memory(const char* name, int flags, mode_t mode) {
  return ::shm_open(name, flags, mode);
}

const Syscalls kReal = {
    ::clock_gettime, open_file, ::close,   ::read,   ::write,  ::fstat,  ::ftruncate,
    ::futimens,      ::fchmod,  ::flock,   ::unlink, ::mkdir,  ::chmod,  open_shared_memory,
    ::gethostname,   ::getaddrinfo, ::freeaddrinfo, ::opendir, ::readdir, ::closedir, ::statx,
    ::rename,        ::fsync,   ::rmdir,   ::lstat,
};

Syscalls g_active = kReal;

}  // namespace

Syscalls& syscalls() noexcept { return g_active; }

const Syscalls& real_syscalls() noexcept { return kReal; }

}  // namespace xoltlog::platform::posix
