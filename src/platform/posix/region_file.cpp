#include "platform/posix/region_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/posix/syscalls.h"

namespace xoltlog::platform::posix {
namespace {

constexpr std::uint64_t kRegionMagic = 0x4b434f4c544c4f58ull;  // "XOLTLOCK"
constexpr std::uint32_t kRegionVersion = 2;
// A region file is created with no access and given its own right after:
// an opener that meets it in between waits this many rounds of one
// millisecond before it takes the file for stale.
constexpr int kSettleRounds = 50;
// How long, in the same rounds, an opener waits for another process to set
// a region up (which takes microseconds).
constexpr int kWaitRounds = 2000;

struct alignas(64) RegionHeader {
  std::atomic<std::uint64_t> magic;  // stored last, once the slots are ready
  std::uint32_t version;
  std::uint32_t slot_count;
  std::uint32_t slot_size;
  std::uint32_t mutex_size;
  std::uint32_t header_size;
};

constexpr std::size_t kRegionBytes = sizeof(RegionHeader) + sizeof(LockSlot) * kRegionSlots;

void pause_briefly() noexcept {
  const timespec millisecond{0, 1000000};
  nanosleep(&millisecond, nullptr);
}

bool has_access(const struct stat& status, const RegionAccess& access) noexcept {
  return S_ISREG(status.st_mode) && status.st_uid == access.owner &&
         status.st_gid == access.group && (status.st_mode & 07777) == access.mode &&
         status.st_nlink == 1;
}

// Made with no access at all, so that nobody uses it before it has its
// owner, group and mode.
UniqueFd create_region_file(const char* path, const RegionAccess& access) noexcept {
  UniqueFd fd(syscalls().open(path, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0));
  if (!fd) {
    return fd;
  }
  struct stat status {};
  const bool owned =
      syscalls().fstat(fd.get(), &status) == 0 &&
      ((status.st_uid == access.owner && status.st_gid == access.group) ||
       syscalls().fchown(fd.get(), access.owner, access.group) == 0) &&
      syscalls().fchmod(fd.get(), access.mode) == 0;
  if (!owned) {
    syscalls().unlink(path);
    return UniqueFd();
  }
  return fd;
}

// O_NONBLOCK: a FIFO planted under the name must not hang the open.
UniqueFd open_existing(const char* path) noexcept {
  return UniqueFd(
      syscalls().open(path, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0));
}

// A region file of the wrong access that this process could have made and
// that nobody holds is left over from a creator that died: remove it.
bool remove_if_stale(const char* path, const struct stat& status) noexcept {
  const uid_t self = geteuid();
  if (!S_ISREG(status.st_mode) || (status.st_uid != self && self != 0)) {
    return false;
  }
  UniqueFd fd(syscalls().open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0));
  return fd && syscalls().flock(fd.get(), LOCK_EX | LOCK_NB) == 0 &&
         syscalls().unlink(path) == 0;
}

bool header_ready(const RegionHeader& header) noexcept {
  return header.magic.load(std::memory_order_acquire) == kRegionMagic &&
         header.version == kRegionVersion && header.slot_count == kRegionSlots &&
         header.slot_size == sizeof(LockSlot) && header.mutex_size == sizeof(pthread_mutex_t) &&
         header.header_size == sizeof(RegionHeader);
}

void* map_bytes(int fd) noexcept {
  void* base = syscalls().mmap(nullptr, kRegionBytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  return base == MAP_FAILED ? nullptr : base;
}

bool has_region_size(int fd) noexcept {
  struct stat status {};
  return syscalls().fstat(fd, &status) == 0 &&
         static_cast<std::size_t>(status.st_size) == kRegionBytes;
}

// With the exclusive flock held, so nobody else has the region mapped.
bool set_up(void* base) noexcept {
  auto* header = static_cast<RegionHeader*>(base);
  header->magic.store(0, std::memory_order_relaxed);
  header->version = kRegionVersion;
  header->slot_count = kRegionSlots;
  header->slot_size = sizeof(LockSlot);
  header->mutex_size = sizeof(pthread_mutex_t);
  header->header_size = sizeof(RegionHeader);
  LockSlot* slots = region_slots(base);
  for (std::uint32_t i = 0; i < kRegionSlots; ++i) {
    std::memset(static_cast<void*>(&slots[i]), 0, sizeof(LockSlot));
    if (!init_slot(slots[i])) {
      return false;
    }
  }
  header->magic.store(kRegionMagic, std::memory_order_release);
  return true;
}

// The first user checks the region and sets it up when it is not ready.
void* map_as_first_user(int fd) noexcept {
  if (has_region_size(fd)) {
    if (void* base = map_bytes(fd); base != nullptr) {
      if (header_ready(*static_cast<RegionHeader*>(base))) {
        return base;
      }
      unmap_region(base);
    }
  }
  if (syscalls().ftruncate(fd, 0) != 0 ||
      syscalls().ftruncate(fd, static_cast<off_t>(kRegionBytes)) != 0) {
    return nullptr;
  }
  void* base = map_bytes(fd);
  if (base != nullptr && !set_up(base)) {
    unmap_region(base);
    return nullptr;
  }
  return base;
}

// Another process uses the region: wait for its set-up to end, then use it
// as it is if it is ready.
void* map_as_later_user(int fd) noexcept {
  int round = 0;
  while (syscalls().flock(fd, LOCK_SH | LOCK_NB) != 0) {
    if ((errno != EWOULDBLOCK && errno != EINTR) || ++round >= kWaitRounds) {
      return nullptr;
    }
    pause_briefly();
  }
  void* base = has_region_size(fd) ? map_bytes(fd) : nullptr;
  if (base != nullptr && !header_ready(*static_cast<RegionHeader*>(base))) {
    unmap_region(base);
    base = nullptr;
  }
  if (base == nullptr) {
    syscalls().flock(fd, LOCK_UN);
  }
  return base;
}

}  // namespace

bool region_path(std::string_view directory, const RegionAccess& access, char* out,
                 std::size_t size) noexcept {
  const int length = std::snprintf(out, size, "%.*s%s%u-%u-%03o", static_cast<int>(directory.size()),
                                   directory.data(), kRegionNamePrefix,
                                   static_cast<unsigned>(access.owner),
                                   static_cast<unsigned>(access.group),
                                   static_cast<unsigned>(access.mode & 0777));
  return length > 0 && static_cast<std::size_t>(length) < size;
}

bool open_region_file(const char* path, const RegionAccess& access, RegionFile& region) noexcept {
  bool replaced = false;
  for (int round = 0; round < kSettleRounds; ++round) {
    UniqueFd fd = open_existing(path);
    if (!fd && errno == ELOOP && !replaced) {
      // A link planted under the name is never followed, only removed.
      replaced = true;
      if (syscalls().unlink(path) != 0) {
        return false;
      }
      continue;
    }
    if (!fd && errno == ENOENT) {
      fd = create_region_file(path, access);
      if (!fd) {
        if (errno == EEXIST) {
          continue;  // another process made it first
        }
        return false;
      }
    }
    if (!fd && errno != EACCES) {
      return false;
    }
    struct stat status {};
    if (fd && syscalls().fstat(fd.get(), &status) == 0 && has_access(status, access)) {
      region = RegionFile{std::move(fd), status.st_dev, status.st_ino};
      return true;
    }
    // Its creator may still be giving it its access; past that, a region
    // file of the wrong access is stale.
    if (round + 1 == kSettleRounds && !replaced && fd && remove_if_stale(path, status)) {
      replaced = true;
      round = -1;
      continue;
    }
    pause_briefly();
  }
  return false;
}

void* map_region(int fd) noexcept {
  if (syscalls().flock(fd, LOCK_EX | LOCK_NB) != 0) {
    return map_as_later_user(fd);
  }
  void* base = map_as_first_user(fd);
  // Converting keeps the region held; a process that slips in between finds
  // it ready and leaves it as it is.
  syscalls().flock(fd, base != nullptr ? LOCK_SH : LOCK_UN);
  return base;
}

void unmap_region(void* base) noexcept { syscalls().munmap(base, kRegionBytes); }

LockSlot* region_slots(void* base) noexcept {
  return reinterpret_cast<LockSlot*>(static_cast<char*>(base) + sizeof(RegionHeader));
}

bool region_holds(const void* base, const void* address) noexcept {
  const auto* begin = static_cast<const char*>(base) + sizeof(RegionHeader);
  const auto* at = static_cast<const char*>(address);
  return at >= begin && at < begin + sizeof(LockSlot) * kRegionSlots;
}

}  // namespace xoltlog::platform::posix
