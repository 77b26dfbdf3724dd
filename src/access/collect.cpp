#include "access/collect.h"

#include <algorithm>
#include <span>
#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "access/header_reader.h"
#include "access/log_file_entry.h"
#include "access/query_eval.h"
#include "access/query_tools.h"
#include "platform/heap.h"
#include "logfile/file_name_parse.h"
#include "platform/clock.h"
#include "platform/dir_listing.h"
#include "platform/file_primitives.h"
#include "platform/time_text.h"

namespace xoltlog {
namespace {

constexpr std::uint32_t kBuckets = 300;
constexpr std::int64_t kFutureAllowance = 86400;

std::string_view listed_name(const XoltLogDirListing& listing) noexcept {
  const char* name = listing.find_data.file_name;
  return {name, strnlen(name, sizeof listing.find_data.file_name)};
}

// What a listed name tells about the file, when it belongs to the record.
struct NameFacts {
  std::uint32_t product_id = 0;
  std::uint32_t originator_id = 0;
  std::int64_t start_time = 0;
};

bool belongs(const XoltLogCfg& record, const XoltLogDirListing& listing, NameFacts& facts) {
  const std::string name(listed_name(listing));
  if (record.logset_marker == 1) {
    char set_name[XOLTLOG_FIND_NAME_SIZE] = {};
    char stamp[13] = {};
    if (!logset_fields_from_file_name(name, facts.product_id, set_name, stamp) ||
        facts.product_id != record.product_id ||
        std::strcmp(set_name, set_file_name_of(record)) != 0) {
      return false;
    }
    facts.start_time = platform::str_stamp_to_time(stamp);
    return true;
  }
  facts.start_time = platform::file_time_to_seconds(listing.find_data.creation_time);
  return ids_from_file_name(name, facts.product_id, facts.originator_id) &&
         facts.product_id == record.product_id && facts.originator_id == record.originator_id;
}

// The host name of the header, empty when it cannot be read; false when
// the file cannot be opened at all.
bool read_host(const char* directory, const XoltLogDirListing& listing, XoltLogHeader& header) {
  BlockPtr<XoltLogFileEntry> entry(make_log_file_entry(listing));
  if (!entry) {
    return false;
  }
  const std::string path = std::string(directory) + std::string(listed_name(listing));
  if (platform::file_open(entry->file, path.c_str(), XOLTLOG_OPEN_READ, nullptr) != 0) {
    return false;
  }
  header = XoltLogHeader{};
  if (read_entry_header(*entry, header) != XOLTLOG_OK) {
    header.host_name[0] = '\0';
  }
  platform::file_close(entry->file);
  return true;
}

class Collection {
 public:
  explicit Collection(XoltLogQueryNode* query) noexcept
      : query_(query), needs_host_(query_mentions_field(query, XOLTLOG_QUERY_HOST)) {}
  ~Collection() {
    for (XoltLogFileEntry* chain : buckets_) free_entries(chain);
  }
  Collection(const Collection&) = delete;
  Collection& operator=(const Collection&) = delete;

  // The files of records that all name one log directory.
  void collect(std::span<const XoltLogCfg* const> records);
  // Hands out the collected entries as one list, oldest first; null when
  // there are none.
  XoltLogFileEntry* sorted() noexcept;

 private:
  bool accepted(const XoltLogCfg& record, const XoltLogDirListing& listing, const NameFacts& facts);
  // False when the entry cannot be made: the directory's listing ends.
  bool add(const char* directory, const XoltLogDirListing& listing, std::int64_t start_time);

  XoltLogQueryNode* query_;
  bool needs_host_;
  std::int64_t now_ = platform::wall_clock_now().seconds;
  std::array<XoltLogFileEntry*, kBuckets> buckets_{};
};

// One listing serves every record of the directory: a directory is read
// once per call, however many writers' records name it.
void Collection::collect(std::span<const XoltLogCfg* const> records) {
  const char* directory = records.front()->log_directory;
  XoltLogDirListing listing{};
  if (platform::list_begin(listing, directory) != 0) {
    platform::list_end(listing);
    return;
  }
  bool room = true;
  do {
    for (const XoltLogCfg* record : records) {
      NameFacts facts;
      if (belongs(*record, listing, facts) && accepted(*record, listing, facts) &&
          !add(directory, listing, facts.start_time)) {
        room = false;
        break;
      }
    }
  } while (room && platform::list_next(listing) == 0);
  platform::list_end(listing);
}

bool Collection::accepted(const XoltLogCfg& record, const XoltLogDirListing& listing,
                          const NameFacts& facts) {
  const std::int64_t last_write = platform::file_time_to_seconds(listing.find_data.last_write_time);
  if (last_write > now_ && last_write - now_ > kFutureAllowance) {
    return false;
  }
  XoltLogHeader header{};
  if (needs_host_ && !read_host(record.log_directory, listing, header)) {
    return false;
  }
  const bool logset = record.logset_marker == 1;
  const FileFacts file{facts.product_id,
                       logset ? 0 : facts.originator_id,
                       header.host_name,
                       logset ? (record.logset_name != nullptr ? record.logset_name : "") : nullptr,
                       facts.start_time,
                       last_write};
  return query_passes_file(query_, file);
}

bool Collection::add(const char* directory, const XoltLogDirListing& listing,
                     std::int64_t start_time) {
  const std::string_view name = listed_name(listing);
  XoltLogFileEntry*& chain = buckets_[hash_texts(directory, name, kBuckets)];
  for (const XoltLogFileEntry* entry = chain; entry != nullptr; entry = entry->next) {
    if (std::strcmp(entry->directory, directory) == 0 && name == entry->file_name) {
      return true;
    }
  }
  XoltLogFileEntry* entry = make_log_file_entry(listing);
  if (entry == nullptr) {
    return false;
  }
  entry->time = start_time;
  std::strncpy(entry->directory, directory, sizeof entry->directory - 1);
  entry->next = chain;
  chain = entry;
  return true;
}

// Oldest first. Files started within one second are told apart by name:
// in one series the day and counter order them, and a rollover's new file
// must never look older than the file it follows.
bool before(const XoltLogFileEntry& a, const XoltLogFileEntry& b) noexcept {
  return a.time < b.time || (a.time == b.time && std::strcmp(a.file_name, b.file_name) < 0);
}

// Without memory for the quick sort, the entries are inserted one by one:
// behind the last entry that does not come after.
XoltLogFileEntry* insertion_sorted(std::array<XoltLogFileEntry*, kBuckets>& buckets) noexcept {
  XoltLogFileEntry* head = nullptr;
  for (XoltLogFileEntry*& chain : buckets) {
    while (chain != nullptr) {
      XoltLogFileEntry* entry = chain;
      chain = entry->next;
      XoltLogFileEntry** link = &head;
      while (*link != nullptr && !before(*entry, **link)) link = &(*link)->next;
      entry->next = *link;
      *link = entry;
    }
  }
  return head;
}

XoltLogFileEntry* Collection::sorted() noexcept {
  std::vector<XoltLogFileEntry*> taken;
  try {
    for (XoltLogFileEntry* chain : buckets_) {
      for (XoltLogFileEntry* entry = chain; entry != nullptr; entry = entry->next) {
        taken.push_back(entry);
      }
    }
  } catch (const std::bad_alloc&) {
    return insertion_sorted(buckets_);
  }
  buckets_.fill(nullptr);
  std::stable_sort(
      taken.begin(), taken.end(),
      [](const XoltLogFileEntry* a, const XoltLogFileEntry* b) { return before(*a, *b); });
  for (std::size_t i = 0; i < taken.size(); ++i) {
    taken[i]->next = i + 1 < taken.size() ? taken[i + 1] : nullptr;
  }
  return taken.empty() ? nullptr : taken.front();
}

// The records grouped by log directory, in the order the directories first
// appear; null records left out.
std::vector<std::vector<const XoltLogCfg*>> by_directory(std::span<XoltLogCfg* const> records) {
  std::vector<std::vector<const XoltLogCfg*>> groups;
  for (const XoltLogCfg* record : records) {
    if (record == nullptr) continue;
    auto group = std::find_if(groups.begin(), groups.end(), [&](const auto& g) {
      return std::strcmp(g.front()->log_directory, record->log_directory) == 0;
    });
    if (group == groups.end()) {
      groups.emplace_back();
      group = groups.end() - 1;
    }
    group->push_back(record);
  }
  return groups;
}

}  // namespace

std::uint32_t collect_log_files(std::span<XoltLogCfg* const> records,
                                XoltLogFileList& list) noexcept {
  list.head = nullptr;
  try {
    Collection collection(list.query);
    for (const std::vector<const XoltLogCfg*>& group : by_directory(records)) {
      collection.collect(group);
    }
    list.head = collection.sorted();
  } catch (const std::bad_alloc&) {
    list.head = nullptr;
  }
  list.cursor = list.head;
  return list.head != nullptr ? std::uint32_t{XOLTLOG_OK} : std::uint32_t{XOLTLOG_E_NO_MATCH};
}

const char* set_file_name_of(const XoltLogCfg& record) noexcept {
  if (record.logset_file_name != nullptr) return record.logset_file_name;
  return record.logset_name != nullptr ? record.logset_name : "";
}

void free_entries(XoltLogFileEntry* head) noexcept {
  while (head != nullptr) {
    XoltLogFileEntry* next = head->next;
    platform::file_close(head->file);
    release(head);
    head = next;
  }
}

}  // namespace xoltlog
