// Whole-file replacement: a file's new version is written beside it and
// moved over it in one step, under a lock that every rewriter of a file in
// that directory takes. The store file and the registry stand-in both
// rewrite files this way.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace xoltlog::platform {

enum class ReplaceStatus { kOk, kAccessDenied, kFailed };

// What a symbolic link at the path of the file to replace stands for.
enum class LinkPolicy {
  kFollow,   // the link stays and the file it leads to is replaced
  kReplace,  // the link itself is replaced, its target never touched
};

// One new version of a file. The temporary file "<file>.tmp" is created
// exclusively, never through a link, and readable by its writer alone until
// finish() gives it the replaced file's permissions and, where the process
// may give a file away, its owner and group (a new file is readable by
// everybody and writable by its owner). Nothing else changes the file until
// replace(); a replacement that does not get that far removes its temporary
// file when it is destroyed. Not for use by several threads at once.
//
// Failing calls leave errno set, as the platform's errors are mapped by the
// callers.
class FileReplacement {
 public:
  // May throw std::bad_alloc. With LinkPolicy::kFollow a chain of links at
  // path is resolved here, and the file at its end is the one replaced.
  FileReplacement(std::string_view path, LinkPolicy links);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // The file that is replaced, links resolved.
  const std::string& target() const noexcept { return target_; }
  // The directory it is in, whose lock a rewriter takes.
  const std::string& directory() const noexcept { return directory_; }

  // Creates the temporary file. One left behind by a rewriter that died is
  // removed first. False when it cannot be created.
  bool create() noexcept;
  // Adds bytes to the new version; false once any write has failed.
  bool write(std::string_view bytes) noexcept;
  // Writes out what is buffered, applies the permissions and owner, syncs
  // and closes the file: false when any of it failed.
  bool finish() noexcept;
  // Moves the finished file over the target, then syncs the directory so
  // that the move is on the disk too. kAccessDenied may clear up when tried
  // again later; after kOk nothing is left to remove.
  ReplaceStatus replace() noexcept;

 private:
  static constexpr std::size_t kBufferSize = 8192;

  bool flush() noexcept;
  bool apply_permissions() noexcept;

  std::string target_;
  std::string directory_;
  std::string temporary_;
  bool resolved_ = true;
  std::intptr_t handle_ = -1;
  bool created_ = false;
  bool replaced_ = false;
  bool ok_ = true;
  std::size_t buffered_ = 0;
  std::array<char, kBufferSize> buffer_;
};

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
