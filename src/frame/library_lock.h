// The one process-wide library lock that guards every log handle, file
// writer, the shared writer slot and configuration records.
//
// Code that must run under the lock says so in its signature: it takes a
// `const LibraryLockGuard&`, so the compiler refuses a call from code that
// holds none. Only the exported adapters (and the entry points built on
// them) construct a guard, once per call, with the operation's own name;
// everything below them receives it.
#pragma once

#include "xoltlog/frame.h"

namespace xoltlog {

XoltLogLock& library_lock() noexcept;

// Holds the library lock for a scope. The caller name must be a string
// constant: the release compares it by pointer with the acquisition. The
// guard can be neither copied nor moved, so a reference to one stands for
// an acquisition that lasts at least as long as the call it is passed to.
class LibraryLockGuard {
 public:
  explicit LibraryLockGuard(const char* caller) noexcept;
  ~LibraryLockGuard();
  LibraryLockGuard(const LibraryLockGuard&) = delete;
  LibraryLockGuard& operator=(const LibraryLockGuard&) = delete;

 private:
  const char* caller_;
};

}  // namespace xoltlog
