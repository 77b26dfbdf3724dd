// Whole-file replacement: reading a file, writing its new version beside
// it, syncing it and moving it over the old one in one step, under a lock
// that every rewriter of a file in that directory takes. The store file and
// the registry stand-in both rewrite files this way.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

namespace xoltlog::platform {

struct CloseStream {
  void operator()(std::FILE* stream) const noexcept { std::fclose(stream); }
};
using StreamPtr = std::unique_ptr<std::FILE, CloseStream>;

// An existing regular file opened for reading, not inherited by child
// processes; null (errno set) otherwise, a directory included.
StreamPtr open_read_stream(const char* path) noexcept;
// The file created, or emptied, for writing, not inherited; null on failure.
StreamPtr create_write_stream(const char* path) noexcept;
// Writes what the stream buffers through to the disk: true on success.
bool sync_stream(std::FILE* stream) noexcept;
// True when path names the very file that stream reads.
bool is_same_file(std::FILE* stream, const char* path) noexcept;

enum class ReplaceStatus { kOk, kAccessDenied, kFailed };

// Moves from over to in one step: readers see the old or the new file.
ReplaceStatus replace_file(const char* from, const char* to) noexcept;

// An exclusive advisory lock on a directory, taken by every process that
// rewrites a file in it and held until the object is destroyed. Two locks of
// one directory exclude each other in one process too, so a thread must
// never take a second one of the same directory.
class DirectoryLock {
 public:
  explicit DirectoryLock(const char* directory) noexcept;
  ~DirectoryLock();
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

  // False when the directory cannot be opened or locked.
  bool held() const noexcept { return handle_ >= 0; }

 private:
  std::intptr_t handle_ = -1;
};

}  // namespace xoltlog::platform
