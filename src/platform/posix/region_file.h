// Opening, checking and setting up one lock region file (see lock_region.h).
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <string_view>

#include "platform/posix/lock_region.h"
#include "platform/posix/lock_slot.h"
#include "platform/posix/unique_fd.h"

namespace xoltlog::platform::posix {

// Who a region file must belong to, and its exact permission bits.
struct RegionAccess {
  uid_t owner;
  gid_t group;
  mode_t mode;
};

struct RegionFile {
  UniqueFd fd;
  dev_t device = 0;
  ino_t inode = 0;
};

// The path of the region file for access in directory (a path text ending
// in its separator, or empty for the working directory), written to out:
// false when it does not fit.
bool region_path(std::string_view directory, const RegionAccess& access, char* out,
                 std::size_t size) noexcept;

// Opens the region file at path, creating it with exactly that access when
// it is missing; a stale one (wrong access, left behind by a creator that
// died, and unused) that this process may remove is replaced once. False
// when no region file of that access can be had.
bool open_region_file(const char* path, const RegionAccess& access, RegionFile& region) noexcept;

// Maps an open region file and takes its shared flock, setting the region
// up first when nobody else uses it and it is not ready. Null when it
// cannot be mapped, or another user keeps a region of another layout.
void* map_region(int fd) noexcept;
void unmap_region(void* base) noexcept;

// The slots of a mapped region.
LockSlot* region_slots(void* base) noexcept;
// Whether address lies within the slots of the region at base.
bool region_holds(const void* base, const void* address) noexcept;

}  // namespace xoltlog::platform::posix
