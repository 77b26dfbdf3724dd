#include "platform/posix/lock_region.h"

#include <climits>
#include <mutex>
#include <string_view>

#include "platform/posix/region_file.h"
#include "platform/posix/syscalls.h"

namespace xoltlog::platform::posix {
namespace {

// A region this process has mapped, shared by all its files in it; an
// entry with no files is free.
struct MappedRegion {
  dev_t device;
  ino_t inode;
  int fd;  // holds the shared flock while mapped
  void* base;
  std::uint32_t files;
};

// Regions are mapped and unmapped only at file opens and closes. A fixed
// table, so that taking a file's lock never needs memory.
struct RegionRegistry {
  std::mutex mutex;
  MappedRegion regions[kMaxMappedRegions];
};

RegionRegistry& registry() noexcept {
  static RegionRegistry instance;
  return instance;
}

mode_t class_access(mode_t file_mode, mode_t write_bit, mode_t read_write) noexcept {
  return (file_mode & write_bit) != 0 ? read_write : 0;
}

// The directory part of a path text, its separator kept; empty for a bare
// name, which lives in the working directory.
std::string_view directory_of(std::string_view path) noexcept {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

std::size_t slot_index(ino_t inode) noexcept {
  const std::uint64_t mixed = static_cast<std::uint64_t>(inode) * 0x9e3779b97f4a7c15ull;
  return static_cast<std::size_t>(mixed >> 32) % kRegionSlots;
}

MappedRegion* find_mapped(RegionRegistry& known, const RegionFile& file) noexcept {
  for (MappedRegion& region : known.regions) {
    if (region.files != 0 && region.device == file.device && region.inode == file.inode) {
      return &region;
    }
  }
  return nullptr;
}

MappedRegion* free_entry(RegionRegistry& known) noexcept {
  for (MappedRegion& region : known.regions) {
    if (region.files == 0) {
      return &region;
    }
  }
  return nullptr;
}

void* region_base(const char* path, const RegionAccess& access) noexcept {
  RegionFile file;
  if (!open_region_file(path, access, file)) {
    return nullptr;
  }
  RegionRegistry& known = registry();
  std::lock_guard<std::mutex> guard(known.mutex);
  if (MappedRegion* mapped = find_mapped(known, file); mapped != nullptr) {
    ++mapped->files;
    return mapped->base;
  }
  MappedRegion* entry = free_entry(known);
  void* base = entry != nullptr ? map_region(file.fd.get()) : nullptr;
  if (base != nullptr) {
    *entry = MappedRegion{file.device, file.inode, file.fd.release(), base, 1};
  }
  return base;
}

}  // namespace

mode_t region_mode(mode_t file_mode) noexcept {
  return class_access(file_mode, S_IWUSR, S_IRUSR | S_IWUSR) |
         class_access(file_mode, S_IWGRP, S_IRGRP | S_IWGRP) |
         class_access(file_mode, S_IWOTH, S_IROTH | S_IWOTH);
}

namespace {

LockSlot* attach(const char* path, const struct stat& file, bool existing_only) noexcept {
  const RegionAccess access{file.st_uid, file.st_gid, region_mode(file.st_mode)};
  char region_file[PATH_MAX];
  if (!region_path(directory_of(path), access, region_file, sizeof region_file)) {
    return nullptr;
  }
  struct stat region {};
  if (existing_only && syscalls().lstat(region_file, &region) != 0) {
    return nullptr;
  }
  void* base = region_base(region_file, access);
  return base != nullptr ? &region_slots(base)[slot_index(file.st_ino)] : nullptr;
}

}  // namespace

LockSlot* attach_file_lock(const char* path, const struct stat& file) noexcept {
  return attach(path, file, false);
}

LockSlot* attach_existing_file_lock(const char* path, const struct stat& file) noexcept {
  return attach(path, file, true);
}

void detach_file_lock(LockSlot* slot) noexcept {
  if (slot == nullptr) {
    return;
  }
  RegionRegistry& known = registry();
  std::lock_guard<std::mutex> guard(known.mutex);
  for (MappedRegion& region : known.regions) {
    if (region.files != 0 && region_holds(region.base, slot)) {
      if (--region.files == 0) {
        unmap_region(region.base);
        UniqueFd closing(region.fd);
      }
      return;
    }
  }
}

}  // namespace xoltlog::platform::posix
