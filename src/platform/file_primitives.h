// The platform's file primitives behind the exported xoltLogOs_* functions.
// Each returns the small numbers documented in xoltlog/platform.h. None
// takes the library lock; a file context is used by one thread at a time.
#pragma once

#include <cstdint>

#include "xoltlog/platform.h"

namespace xoltlog::platform {

// Which file an open context holds, whatever name it was opened by.
struct FileIdentity {
  std::uint64_t device;
  std::uint64_t inode;
  // For file_append_tracked: the deletions made under the file's lock when
  // it last looked whether the file still has a name; file_identity sets
  // none seen, so that the first append looks.
  std::uint64_t deletions_seen;
};
inline constexpr std::uint64_t kDeletionsNotSeen = UINT64_MAX;

std::int32_t file_init(XoltLogFileContext& context) noexcept;
std::int32_t file_open(XoltLogFileContext& context, const char* name, std::int32_t mode,
                       const char* sddl) noexcept;
void file_close(XoltLogFileContext& context) noexcept;
std::int32_t file_read(XoltLogFileContext& context, char* buffer, std::uint32_t count) noexcept;
std::int32_t file_append(XoltLogFileContext& context, const void* bytes,
                         std::uint32_t count) noexcept;
std::int32_t file_size(XoltLogFileContext& context, std::uint64_t& size) noexcept;

// The identity of the open file; false when it cannot be had.
bool file_identity(const XoltLogFileContext& context, FileIdentity& identity) noexcept;
// What file_append_tracked returns, writing nothing, once the file was
// deleted through file_delete: records appended to it would be seen by
// nobody.
inline constexpr std::int32_t kFileDeleted = -2;

// file_append that also keeps the file's size where every appender of the
// file name can read it (the cross-process lock table); kFileDeleted.
std::int32_t file_append_tracked(XoltLogFileContext& context, FileIdentity& identity,
                                 const void* bytes, std::uint32_t count) noexcept;
// The file's full size as the appenders keep it, without a system call;
// false when it is not known (for example after an untracked append, or
// without the lock table): ask file_size then.
bool tracked_file_size(const XoltLogFileContext& context, const FileIdentity& identity,
                       std::uint64_t& size) noexcept;
// Opens name for appending (mode 0) and, while holding the file's lock,
// writes first_line when the file is empty, so that of writers racing to
// start one file exactly one writes its first line, and nobody appends
// before it. wrote_first_line tells whether this call wrote it. Results as
// file_open; -5 when the first line could not be written (the file stays
// open).
std::int32_t file_open_with_first_line(XoltLogFileContext& context, const char* name,
                                       const char* sddl, const void* first_line,
                                       std::uint32_t length, bool& wrote_first_line) noexcept;
// Removes the file; one that is being appended to through the lock table
// is marked deleted there first (see kFileDeleted). 0, or -1.
std::int32_t file_delete(const char* name) noexcept;
// Whether the open file has no name left (deleted by anyone); false when
// that cannot be told.
bool file_removed(const XoltLogFileContext& context) noexcept;
std::int32_t make_directories(const char* path, const char* sddl) noexcept;

}  // namespace xoltlog::platform
