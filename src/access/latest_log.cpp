#include "access/latest_log.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <string_view>

#include "logfile/file_name_parse.h"
#include "access/log_file_entry.h"
#include "platform/dir_listing.h"
#include "platform/host_address.h"
#include "platform/time_breakdown.h"
#include "platform/time_text.h"

namespace xoltlog {
namespace {

constexpr std::size_t kNameSize = XOLTLOG_FIND_NAME_SIZE;

std::string_view name_of(const XoltLogDirListing& listing) noexcept {
  const char* name = listing.find_data.file_name;
  return std::string_view(name, strnlen(name, kNameSize));
}

// Local midnight of the name's date, read as standard time; mktime folds
// out-of-range months and days into the calendar.
std::int64_t date_key(const OrdinaryNameDate& date) noexcept {
  std::tm midnight{};
  midnight.tm_year = 100 + date.year;
  midnight.tm_mon = date.month - 1;
  midnight.tm_mday = date.day;
  midnight.tm_isdst = 0;
  return platform::local_time_to_seconds(midnight);
}

// Keeps a detached copy of the best file seen so far.
class Best {
 public:
  void take(const XoltLogDirListing& listing) noexcept {
    platform::list_copy(listing, file_);
    found_ = true;
  }
  bool found() const noexcept { return found_; }

  // Hands out an entry for the kept file, with time in place of its
  // creation time when given.
  std::uint8_t hand_out(XoltLogFileEntry*& entry, std::optional<std::int64_t> time) const noexcept {
    entry = make_log_file_entry(file_);
    if (entry == nullptr) {
      return 0;
    }
    if (time) {
      entry->time = *time;
    }
    return 1;
  }

 private:
  XoltLogDirListing file_{};
  bool found_ = false;
};

class OrdinarySearch {
 public:
  explicit OrdinarySearch(std::string_view prefix) noexcept : prefix_(prefix) {}

  void consider(const XoltLogDirListing& listing) noexcept {
    const std::string_view name = name_of(listing);
    if (!name.starts_with(prefix_)) {
      return;
    }
    const std::optional<OrdinaryNameDate> date = ordinary_name_date(name.substr(prefix_.size()));
    if (!date) {
      return;
    }
    const std::int64_t key = date_key(*date);
    if (key > best_key_ || (key == best_key_ && date->counter > best_counter_)) {
      best_key_ = key;
      best_counter_ = date->counter;
      best_.take(listing);
    }
  }
  const Best& best() const noexcept { return best_; }

 private:
  std::string_view prefix_;
  std::int64_t best_key_ = 0;
  std::uint32_t best_counter_ = 0;
  Best best_;
};

class LogsetSearch {
 public:
  explicit LogsetSearch(std::string_view prefix) noexcept : prefix_(prefix) {}

  // False when the search must stop: a name with the prefix did not parse.
  bool consider(const XoltLogDirListing& listing) noexcept {
    const std::string_view name = name_of(listing);
    if (!name.starts_with(prefix_)) {
      return true;
    }
    std::uint32_t product_id = 0;
    char set_name[kNameSize + 1];
    char stamp[13] = {};
    if (!logset_fields_from_file_name(name, product_id, set_name, stamp)) {
      broken_ = true;
      return false;
    }
    // A set file name with "-" in it puts part of itself where the stamp
    // belongs; such names never count.
    const std::int64_t time = is_logset_stamp(stamp) ? platform::str_stamp_to_time(stamp) : -1;
    if (time > best_time_) {
      best_time_ = time;
      best_.take(listing);
    }
    return true;
  }
  bool found() const noexcept { return !broken_ && best_.found(); }
  std::uint8_t hand_out(XoltLogFileEntry*& entry) const noexcept {
    return best_.hand_out(entry, best_time_);
  }

 private:
  std::string_view prefix_;
  std::int64_t best_time_ = 0;
  bool broken_ = false;
  Best best_;
};

}  // namespace

std::uint8_t find_latest_log(const char* directory, std::uint32_t product_id,
                             std::uint32_t originator_id, XoltLogFileEntry*& entry) noexcept {
  // Another host's files in a shared directory are never resumed.
  const std::optional<std::uint32_t> host = platform::host_address_number();
  if (!host) {
    return 0;
  }
  char prefix[40];
  std::snprintf(prefix, sizeof prefix, "%" PRIu32 "-%" PRIu32 "-%" PRIu32 "-", product_id,
                originator_id, *host);
  OrdinarySearch search{std::string_view(prefix)};
  platform::for_each_log_file(directory, [&search](const XoltLogDirListing& listing) {
    search.consider(listing);
    return true;
  });
  return search.best().found() ? search.best().hand_out(entry, std::nullopt) : 0;
}

std::uint8_t find_latest_logset(const char* directory, std::uint32_t product_id,
                                const char* set_file_name, XoltLogFileEntry*& entry) noexcept {
  // No listed name is long enough to begin with a longer prefix.
  if (strnlen(set_file_name, kNameSize) >= kNameSize) {
    return 0;
  }
  char prefix[kNameSize + 16];
  std::snprintf(prefix, sizeof prefix, "%" PRIu32 "-%s-", product_id, set_file_name);
  LogsetSearch search{std::string_view(prefix)};
  platform::for_each_log_file(
      directory, [&search](const XoltLogDirListing& listing) { return search.consider(listing); });
  return search.found() ? search.hand_out(entry) : 0;
}

}  // namespace xoltlog
