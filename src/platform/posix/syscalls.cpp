#include "platform/posix/syscalls.h"

#include <dirent.h>
#include <fcntl.h>
#include <netdb.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

namespace xoltlog::platform::posix {
namespace {

// open and the like are variadic or overloaded in the C library; these give
// them the plain signatures of the table.
int open_file(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

const Syscalls kReal = {
    .clock_gettime = ::clock_gettime,
    .open = open_file,
    .close = ::close,
    .read = ::read,
    .write = ::write,
    .fstat = ::fstat,
    .ftruncate = ::ftruncate,
    .futimens = ::futimens,
    .fchmod = ::fchmod,
    .flock = ::flock,
    .unlink = ::unlink,
    .mkdir = ::mkdir,
    .chmod = ::chmod,
    .gethostname = ::gethostname,
    .getaddrinfo = ::getaddrinfo,
    .freeaddrinfo = ::freeaddrinfo,
    .opendir = ::opendir,
    .readdir = ::readdir,
    .closedir = ::closedir,
    .statx = ::statx,
    .rename = ::rename,
    .fsync = ::fsync,
    .rmdir = ::rmdir,
    .lstat = ::lstat,
    .mmap = ::mmap,
    .munmap = ::munmap,
    .fchown = ::fchown,
    .pread = ::pread,
    .lseek = ::lseek,
    .stat = ::stat,
    .readlink = ::readlink,
    .socket = ::socket,
    .connect = ::connect,
    .send = ::send,
    .setsockopt = ::setsockopt,
    .time = ::time,
};

Syscalls g_active = kReal;

}  // namespace

Syscalls& syscalls() noexcept { return g_active; }

const Syscalls& real_syscalls() noexcept { return kReal; }

}  // namespace xoltlog::platform::posix
