// The listing of a directory's log files behind the exported
// xoltLogOsListLogFiles* functions: the regular files whose names end in
// ".log", each with its find data (attributes, the three file times, size).
//
// A listing is caller storage; its search slot holds the platform's open
// search while one is running and 0 or kNoSearch otherwise. Nothing here
// takes a lock: one listing is used by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

#include "xoltlog/platform.h"

namespace xoltlog::platform {

// The search slot of a listing that owns no search.
inline constexpr std::uintptr_t kNoSearch = std::numeric_limits<std::uintptr_t>::max();

// The longest search pattern, the directory followed by "*.log".
inline constexpr std::size_t kMaxListPattern = 260;

// Starts listing directory, which is the text that "*.log" is appended to:
// with its trailing separator it names the directory itself; without one,
// its last component is a prefix that listed names begin with. Fills the
// find data of the first entry. 0 an entry is available; 1 nothing
// matches; -1 the directory cannot be read or the pattern is too long.
// A search the listing held before is not ended: end it first.
std::int32_t list_begin(XoltLogDirListing& listing, const char* directory) noexcept;
// 0 the next entry is available; 1 no more; -1 failure or no search.
std::int32_t list_next(XoltLogDirListing& listing) noexcept;
// Ends the search if the listing holds one; the slot becomes kNoSearch.
void list_end(XoltLogDirListing& listing) noexcept;
// A copy of the source's current entry that holds no search.
void list_copy(const XoltLogDirListing& source, XoltLogDirListing& destination) noexcept;

// A find-data time as seconds since 1970-01-01 UTC, truncated toward zero.
inline std::int64_t file_time_to_seconds(const XoltLogFileTime& time) noexcept {
  constexpr std::int64_t kTicksFrom1601To1970 = 116444736000000000;
  constexpr std::int64_t kTicksPerSecond = 10000000;
  const std::uint64_t ticks = std::uint64_t{time.high} << 32 | time.low;
  // Modular subtraction: ticks the platform layer wrote never exceed the
  // signed range, and the conversion to signed is defined for any value.
  return static_cast<std::int64_t>(ticks - std::uint64_t{kTicksFrom1601To1970}) / kTicksPerSecond;
}

// A listing owned by library code, ended on every path out of its scope.
class ListingScope {
 public:
  ListingScope() noexcept = default;
  ~ListingScope() { list_end(listing_); }
  ListingScope(const ListingScope&) = delete;
  ListingScope& operator=(const ListingScope&) = delete;

  XoltLogDirListing& get() noexcept { return listing_; }

 private:
  XoltLogDirListing listing_{};
};

// Calls visit(const XoltLogDirListing&) for each log file of directory until
// it returns false or the listing ends or fails; the listing is ended
// before this returns. A missing or unreadable directory has no files.
template <typename Visit>
void for_each_log_file(const char* directory, Visit&& visit) noexcept {
  ListingScope scope;
  XoltLogDirListing& listing = scope.get();
  for (std::int32_t status = list_begin(listing, directory); status == 0;
       status = list_next(listing)) {
    if (!visit(static_cast<const XoltLogDirListing&>(listing))) {
      return;
    }
  }
}

}  // namespace xoltlog::platform
