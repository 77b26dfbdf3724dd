// The system calls of the POSIX layer, called through one table so that tests
// can fail or fake any of them (a clock that stands still, the Nth write
// failing with a chosen errno). Production code never changes the table.
#pragma once

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

struct addrinfo;

namespace xoltlog::platform::posix {

struct Syscalls {
  int (*clock_gettime)(clockid_t clock, struct timespec* now);
  int (*open)(const char* path, int flags, mode_t mode);
  int (*close)(int fd);
  ssize_t (*read)(int fd, void* buffer, size_t count);
  ssize_t (*write)(int fd, const void* bytes, size_t count);
  int (*fstat)(int fd, struct stat* status);
  int (*ftruncate)(int fd, off_t length);
  int (*futimens)(int fd, const struct timespec times[2]);
  int (*fchmod)(int fd, mode_t mode);
  int (*flock)(int fd, int operation);
  int (*unlink)(const char* path);
  int (*mkdir)(const char* path, mode_t mode);
  int (*chmod)(const char* path, mode_t mode);
  int (*gethostname)(char* name, size_t size);
  int (*getaddrinfo)(const char* node, const char* service, const struct addrinfo* hints,
                     struct addrinfo** result);
  void (*freeaddrinfo)(struct addrinfo* list);
  DIR* (*opendir)(const char* path);
  struct dirent* (*readdir)(DIR* directory);
  int (*closedir)(DIR* directory);
  int (*statx)(int directory_fd, const char* path, int flags, unsigned int mask,
               struct statx* status);
  int (*rename)(const char* from, const char* to);
  int (*fsync)(int fd);
  int (*rmdir)(const char* path);
  int (*lstat)(const char* path, struct stat* status);
  void* (*mmap)(void* address, size_t length, int protection, int flags, int fd, off_t offset);
  int (*munmap)(void* address, size_t length);
  int (*fchown)(int fd, uid_t owner, gid_t group);
  ssize_t (*pread)(int fd, void* buffer, size_t count, off_t offset);
  off_t (*lseek)(int fd, off_t offset, int whence);
  int (*stat)(const char* path, struct stat* status);
  ssize_t (*readlink)(const char* path, char* buffer, size_t size);
  int (*socket)(int domain, int type, int protocol);
  int (*connect)(int fd, const struct sockaddr* address, socklen_t size);
  ssize_t (*send)(int fd, const void* bytes, size_t count, int flags);
  int (*setsockopt)(int fd, int level, int option, const void* value, socklen_t size);
  // The seconds of the system clock; cheaper than clock_gettime.
  time_t (*time)(time_t* seconds);
};

// The table in use. Tests swap entries and restore them; it must not be
// changed while other threads call through it.
Syscalls& syscalls() noexcept;
// The real system calls.
const Syscalls& real_syscalls() noexcept;

}  // namespace xoltlog::platform::posix
