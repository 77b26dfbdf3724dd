// Restores the platform's system-call table when the scope ends, so a test
// can replace any entry (to fail it, count it or slow it) for its duration.
#pragma once

#include "platform/posix/syscalls.h"

namespace xoltlog::test {

class SyscallOverride {
 public:
  SyscallOverride() : saved_(platform::posix::syscalls()) {}
  ~SyscallOverride() { platform::posix::syscalls() = saved_; }
  SyscallOverride(const SyscallOverride&) = delete;
  SyscallOverride& operator=(const SyscallOverride&) = delete;

  platform::posix::Syscalls& table() { return platform::posix::syscalls(); }
  const platform::posix::Syscalls& real() const { return platform::posix::real_syscalls(); }

 private:
  platform::posix::Syscalls saved_;
};

}  // namespace xoltlog::test
