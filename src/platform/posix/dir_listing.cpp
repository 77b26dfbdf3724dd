// The listing over opendir/readdir, with statx for each matching name, so
// that callers see what a search for "<directory>*.log" reports elsewhere:
// the regular files whose names begin with the pattern's name part and end
// in ".log", with their creation, access and write times and their size.
#include "platform/dir_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

#include "platform/posix/syscalls.h"
#include "platform/posix/unique_dir.h"

namespace xoltlog::platform {
namespace {

using posix::syscalls;
using posix::UniqueDir;

constexpr std::string_view kPatternTail = "*.log";
constexpr std::string_view kLogSuffix = ".log";
constexpr std::uint32_t kAttributeNormal = 0x80;

// What a listing's search slot points to while a search runs.
struct Search {
  UniqueDir directory;
  std::size_t prefix_length = 0;
  char prefix[kMaxListPattern] = {};
};

Search* search_of(const XoltLogDirListing& listing) noexcept {
  if (listing.search == 0 || listing.search == kNoSearch) {
    return nullptr;
  }
  return reinterpret_cast<Search*>(listing.search);
}

// The pattern's directory is everything up to its last separator ("." when
// there is none); what follows is a prefix of the names listed.
std::unique_ptr<Search> open_search(std::string_view pattern_head) noexcept {
  const std::size_t slash = pattern_head.rfind('/');
  const std::size_t name_start = slash == std::string_view::npos ? 0 : slash + 1;
  char path[kMaxListPattern + 1] = ".";
  if (name_start != 0) {
    pattern_head.copy(path, name_start);
    path[name_start] = '\0';
  }
  std::unique_ptr<Search> search(new (std::nothrow) Search);
  if (!search) {
    return nullptr;
  }
  search->directory.reset(syscalls().opendir(path));
  if (!search->directory) {
    return nullptr;
  }
  search->prefix_length = pattern_head.copy(search->prefix, kMaxListPattern, name_start);
  return search;
}

bool name_matches(const Search& search, std::string_view name) noexcept {
  const std::string_view prefix(search.prefix, search.prefix_length);
  return name.size() >= prefix.size() + kLogSuffix.size() && name.starts_with(prefix) &&
         name.ends_with(kLogSuffix);
}

XoltLogFileTime file_time_of(const struct statx_timestamp& stamp) noexcept {
  constexpr std::int64_t kSecondsFrom1601 = 11644473600;
  constexpr std::int64_t kTicksPerSecond = 10000000;
  // Clamped so that the tick count fits the signed range callers convert to.
  constexpr std::int64_t kMaxSeconds =
      (INT64_MAX - kTicksPerSecond) / kTicksPerSecond - kSecondsFrom1601;
  const std::int64_t seconds =
      std::clamp<std::int64_t>(stamp.tv_sec, -kSecondsFrom1601, kMaxSeconds);
  const std::uint64_t ticks =
      static_cast<std::uint64_t>(seconds + kSecondsFrom1601) * kTicksPerSecond +
      stamp.tv_nsec / 100;
  return XoltLogFileTime{static_cast<std::uint32_t>(ticks),
                         static_cast<std::uint32_t>(ticks >> 32)};
}

bool earlier(const struct statx_timestamp& a, const struct statx_timestamp& b) noexcept {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// Not every file system records a birth time; the older of the last
// modification and the last status change is the nearest it has.
const struct statx_timestamp& creation_stamp(const struct statx& status) noexcept {
  if ((status.stx_mask & STATX_BTIME) != 0) {
    return status.stx_btime;
  }
  return earlier(status.stx_mtime, status.stx_ctime) ? status.stx_mtime : status.stx_ctime;
}

void fill_find_data(const struct statx& status, std::string_view name,
                    XoltLogFindData& data) noexcept {
  data = XoltLogFindData{};
  data.attributes = kAttributeNormal;
  data.creation_time = file_time_of(creation_stamp(status));
  data.last_access_time = file_time_of(status.stx_atime);
  data.last_write_time = file_time_of(status.stx_mtime);
  data.size_high = static_cast<std::uint32_t>(status.stx_size >> 32);
  data.size_low = static_cast<std::uint32_t>(status.stx_size);
  name.copy(data.file_name, sizeof data.file_name - 1);
}

// Only regular files are listed, symbolic links followed to what they name:
// directories, devices, dangling links and names that vanished or cannot
// be examined since readdir saw them are passed over.
bool is_listed_file(const Search& search, const char* name, struct statx& status) noexcept {
  constexpr unsigned int kWanted = STATX_BASIC_STATS | STATX_BTIME;
  return syscalls().statx(dirfd(search.directory.get()), name, AT_STATX_SYNC_AS_STAT, kWanted,
                          &status) == 0 &&
         (status.stx_mask & STATX_TYPE) != 0 && S_ISREG(status.stx_mode);
}

std::int32_t advance(Search& search, XoltLogFindData& data) noexcept {
  for (;;) {
    errno = 0;
    const dirent* entry = syscalls().readdir(search.directory.get());
    if (entry == nullptr) {
      return errno == 0 ? 1 : -1;
    }
    const std::string_view name(entry->d_name);
    struct statx status {};
    if (name.size() < sizeof data.file_name && name_matches(search, name) &&
        is_listed_file(search, entry->d_name, status)) {
      fill_find_data(status, name, data);
      return 0;
    }
  }
}

}  // namespace

std::int32_t list_begin(XoltLogDirListing& listing, const char* directory) noexcept {
  listing.search = kNoSearch;
  listing.find_data = XoltLogFindData{};
  const std::size_t length = strnlen(directory, kMaxListPattern);
  if (length + kPatternTail.size() > kMaxListPattern) {
    return -1;
  }
  std::unique_ptr<Search> search = open_search(std::string_view(directory, length));
  if (!search) {
    return -1;
  }
  const std::int32_t status = advance(*search, listing.find_data);
  if (status == 0) {
    listing.search = reinterpret_cast<std::uintptr_t>(search.release());
  }
  return status;
}

std::int32_t list_next(XoltLogDirListing& listing) noexcept {
  Search* search = search_of(listing);
  return search == nullptr ? -1 : advance(*search, listing.find_data);
}

void list_end(XoltLogDirListing& listing) noexcept {
  delete search_of(listing);
  listing.search = kNoSearch;
}

void list_copy(const XoltLogDirListing& source, XoltLogDirListing& destination) noexcept {
  if (&source == &destination) {
    return;
  }
  const XoltLogFindData& from = source.find_data;
  XoltLogFindData& to = destination.find_data;
  destination.search = kNoSearch;
  to = XoltLogFindData{};
  to.attributes = from.attributes;
  to.creation_time = from.creation_time;
  to.last_access_time = from.last_access_time;
  to.last_write_time = from.last_write_time;
  to.size_high = from.size_high;
  to.size_low = from.size_low;
  to.reserved0 = from.reserved0;
  to.reserved1 = from.reserved1;
  std::memcpy(to.file_name, from.file_name, strnlen(from.file_name, sizeof to.file_name - 1));
}

}  // namespace xoltlog::platform
