// The permission bits the POSIX layer gives the files and directories it
// creates, in one place.
#pragma once

#include <sys/types.h>

namespace xoltlog::platform::posix {

// Log files and their directories are created for everybody, as far as the
// umask lets them, unless an SDDL text says otherwise.
inline constexpr mode_t kDefaultFileMode = 0666;
inline constexpr mode_t kDefaultDirectoryMode = 0777;

// Configuration (the store file, registry keys and values) is readable by
// every user, as the registry is on Windows, and writable by its owner
// alone: these are applied exactly, whatever the umask, because a key
// directory that others could write would let them plant files the owner's
// next change writes through.
inline constexpr mode_t kSharedFileMode = 0644;
inline constexpr mode_t kSharedDirectoryMode = 0755;

// A file being written before it replaces another one is its writer's
// alone until it gets the replaced file's mode.
inline constexpr mode_t kPrivateFileMode = 0600;

}  // namespace xoltlog::platform::posix
