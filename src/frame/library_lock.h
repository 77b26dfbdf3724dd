// The one process-wide library lock that guards every log handle, file
// writer, the shared writer slot and configuration records.
#pragma once

#include "xoltlog/frame.h"

namespace xoltlog {

XoltLogLock& library_lock() noexcept;

// Holds the library lock for a scope. The caller name must be a string
// constant: the release compares it by pointer with the acquisition.
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
