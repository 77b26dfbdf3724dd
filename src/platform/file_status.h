// What tools ask of a log file beyond the file primitives: its
// modification time, and a whole-file copy.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/file_primitives.h"

namespace xoltlog::platform {

// The modification time, in seconds since 1970, of the regular file that
// path names (links followed); nothing for anything else.
std::optional<std::int64_t> regular_file_modified(const char* path) noexcept;

// The identity of the file path names (links followed); false when it
// cannot be had.
bool path_identity(const char* path, FileIdentity& identity) noexcept;

// Whether both paths name one existing file.
bool same_file(const char* first, const char* second) noexcept;

// Copies source to target byte for byte, replacing what target held. A
// target that is a symbolic link is refused, not followed; a new target
// gets the source's permissions. False on any failure (a partial target
// may remain); copying a file onto itself fails and leaves it alone.
bool copy_whole_file(const char* source, const char* target) noexcept;

}  // namespace xoltlog::platform
