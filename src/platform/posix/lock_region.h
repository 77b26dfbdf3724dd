// Lock regions: where the cross-process locks of log files live.
//
// Each log directory holds one small hidden file per owner, group and
// access of the log files in it, ".xoltlog-lock-<uid>-<gid>-<mode>", mapped
// shared by every process that appends to those files. It holds a header
// (magic, layout version, sizes) and kRegionSlots lock slots; a file's slot
// is chosen by its inode number, so every path text of one file (a "./",
// a symbolic link to the directory) meets the same lock.
//
// The region file is given exactly the file's owner and group, and read and
// write for each class of users that may write the log file, nothing for
// the others: whoever cannot write a log file cannot open its lock, and so
// cannot delay or block its writers. A region file with another owner,
// group or mode, a link, or anything but a regular file is never used.
//
// Every process that maps a region holds a shared flock on it for as long
// as it does. The one that finds the region unused (an exclusive flock is
// granted at once) checks it and sets it up afresh when its header or size
// is not what this layout needs: a region left half set up by a process
// that died, or one damaged, is repaired by the next opener once nobody
// uses it. A region of another layout that is still in use is not touched:
// the open that meets it fails.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>

#include "platform/posix/lock_slot.h"

namespace xoltlog::platform::posix {

inline constexpr std::uint32_t kRegionSlots = 256;
// How many regions (directories, owners and modes of log files) one
// process can be appending to at once.
inline constexpr std::size_t kMaxMappedRegions = 128;
inline constexpr char kRegionNamePrefix[] = ".xoltlog-lock-";

// The region's access for a log file of this mode: read and write for each
// class that may write the file, nothing otherwise.
mode_t region_mode(mode_t file_mode) noexcept;

// The slot of the log file open at path, whose status (fstat of the open
// descriptor) is file: maps the region of the file's directory and access,
// creating or repairing it when needed. Null when no usable region can be
// had; the file must then not be appended to. Thread-safe.
LockSlot* attach_file_lock(const char* path, const struct stat& file) noexcept;

// The same for a file that is going away: only a region that exists
// already is used, so a deletion leaves nothing new behind.
LockSlot* attach_existing_file_lock(const char* path, const struct stat& file) noexcept;

// Gives back a slot from attach_file_lock; a region is unmapped, and its
// flock dropped, when its last file is closed. Null is ignored.
void detach_file_lock(LockSlot* slot) noexcept;

}  // namespace xoltlog::platform::posix
