#include "access/manageable.h"

#include <cstring>
#include <span>
#include <vector>

#include "access/collect.h"
#include "config/config_collect.h"
#include "config/config_read.h"
#include "config/record.h"
#include "config/store_layout.h"
#include "frame/boundary.h"
#include "platform/heap.h"
#include "logfile/file_name_parse.h"

namespace xoltlog {
namespace {

constexpr std::uint64_t kRecordCapacity = 1024;

// The records a selection is measured against, released on every way out.
class Records {
 public:
  Records() = default;
  ~Records() {
    const LibraryLockGuard held("FreeConfigArray()");
    for (XoltLogCfg* record : owned_) {
      free_config(held, *record);
      release(record);
    }
  }
  Records(const Records&) = delete;
  Records& operator=(const Records&) = delete;

  std::uint32_t read_one(std::uint32_t product_id, std::uint32_t originator_id) {
    XoltLogCfg* record = adopt();
    return read_config(LibraryLockGuard("xoltLogReadCfg()"), product_id, originator_id, *record);
  }
  std::uint32_t read_logset(std::uint32_t product_id, const char* logset) {
    if (product_id == 0 || logset == nullptr) {
      return XOLTLOG_E_INVALID_ARG;
    }
    XoltLogCfg* record = adopt();
    return read_logset_config(LibraryLockGuard("xoltLogReadlogsetCfg()"), product_id, logset,
                              *record);
  }
  std::uint32_t read_all() {
    owned_.assign(kRecordCapacity, nullptr);
    std::uint64_t count = 0;
    RecordArray array(owned_.data(), owned_.size(), count);
    const std::uint32_t result =
        read_all_configs(LibraryLockGuard("xoltLogReadAllCfg()"), store_location(), array);
    owned_.resize(count);
    return result;
  }
  std::span<XoltLogCfg* const> all() const noexcept { return owned_; }

 private:
  XoltLogCfg* adopt() {
    auto* record = static_cast<XoltLogCfg*>(allocate(sizeof(XoltLogCfg)));
    if (record == nullptr) {
      throw std::bad_alloc();
    }
    std::memset(record, 0, sizeof *record);
    owned_.push_back(record);
    return record;
  }

  std::vector<XoltLogCfg*> owned_;
};

struct NameIds {
  std::uint32_t product_id = 0;
  std::uint32_t originator_id = 0;
  bool operator==(const NameIds&) const = default;
};

NameIds ids_of(const XoltLogFileEntry& entry) noexcept {
  NameIds ids;
  ids_from_file_name(entry.file_name, ids.product_id, ids.originator_id);
  return ids;
}

void push(XoltLogFileEntry*& list, XoltLogFileEntry* entry) noexcept {
  entry->next = list;
  list = entry;
}

const XoltLogCfg* record_of(std::span<XoltLogCfg* const> records, const NameIds& ids) noexcept {
  for (const XoltLogCfg* record : records) {
    if (record->product_id == ids.product_id && record->originator_id == ids.originator_id) {
      return record;
    }
  }
  for (const XoltLogCfg* record : records) {
    if (record->product_id == ids.product_id && is_default_originator(record->originator_id)) {
      return record;
    }
  }
  return nullptr;
}

// Of each group of files one writer wrote (the same two leading name
// fields), the oldest beyond the group's number of log files. input runs
// newest first; groups are taken in the order of their newest files, and
// each group's selection goes to the front of the result, youngest first.
XoltLogFileEntry* select(XoltLogFileEntry* input, std::span<XoltLogCfg* const> records) noexcept {
  XoltLogFileEntry* result = nullptr;
  while (input != nullptr) {
    const NameIds group_ids = ids_of(*input);
    XoltLogFileEntry* group = nullptr;  // oldest first
    std::uint64_t size = 0;
    XoltLogFileEntry* rest = nullptr;
    XoltLogFileEntry** rest_end = &rest;
    while (input != nullptr) {
      XoltLogFileEntry* entry = input;
      input = entry->next;
      if (ids_of(*entry) == group_ids) {
        push(group, entry);
        ++size;
      } else {
        entry->next = nullptr;
        *rest_end = entry;
        rest_end = &entry->next;
      }
    }
    const XoltLogCfg* record = record_of(records, group_ids);
    std::uint64_t surplus = record != nullptr && size > record->number_of_log_files
                                ? size - record->number_of_log_files
                                : 0;
    while (group != nullptr && surplus-- > 0) {
      XoltLogFileEntry* entry = group;
      group = entry->next;
      push(result, entry);
    }
    free_entries(group);
    input = rest;
  }
  return result;
}

bool wanted(const NameIds& ids, std::uint32_t product_id, std::uint32_t originator_id) noexcept {
  return (product_id == 0 || ids.product_id == product_id) &&
         (originator_id == 0 || ids.originator_id == originator_id);
}

bool wanted_logset(const XoltLogFileEntry& entry, std::uint32_t product_id,
                   const char* set_file_name) noexcept {
  std::uint32_t product = 0;
  char set_name[XOLTLOG_FIND_NAME_SIZE] = {};
  char stamp[13] = {};
  logset_fields_from_file_name(entry.file_name, product, set_name, stamp);
  return product == product_id && std::strcmp(set_name, set_file_name) == 0;
}

// Splits the collected list (oldest first) into the kept files, newest
// first, and frees the others; selects from the kept ones into the list.
template <typename Wanted>
void select_into(XoltLogFileList& list, std::span<XoltLogCfg* const> records, Wanted wanted_entry) {
  XoltLogFileEntry* kept = nullptr;
  XoltLogFileEntry* discarded = nullptr;
  for (XoltLogFileEntry* entry = list.head; entry != nullptr;) {
    XoltLogFileEntry* next = entry->next;
    push(wanted_entry(*entry) ? kept : discarded, entry);
    entry = next;
  }
  list.head = select(kept, records);
  list.cursor = list.head;
  free_entries(discarded);
}

void clear(XoltLogFileList& list) noexcept { std::memset(&list, 0, sizeof list); }

}  // namespace

std::uint32_t manageable_files(std::uint32_t product_id, std::uint32_t originator_id,
                               XoltLogFileList& list) noexcept {
  clear(list);
  return guarded(XOLTLOG_E_FAILED, [&] {
    Records records;
    const std::uint32_t read = product_id != 0 && originator_id != 0
                                   ? records.read_one(product_id, originator_id)
                                   : records.read_all();
    if (read != XOLTLOG_OK) {
      return read;
    }
    if (const std::uint32_t collected = collect_log_files(records.all(), list);
        collected != XOLTLOG_OK) {
      return collected;
    }
    select_into(list, records.all(), [&](const XoltLogFileEntry& entry) {
      return wanted(ids_of(entry), product_id, originator_id);
    });
    return std::uint32_t{XOLTLOG_OK};
  });
}

std::uint32_t manageable_logset_files(std::uint32_t product_id, const char* logset,
                                      XoltLogFileList& list) noexcept {
  clear(list);
  return guarded(XOLTLOG_E_FAILED, [&] {
    Records records;
    if (const std::uint32_t read = records.read_logset(product_id, logset); read != XOLTLOG_OK) {
      return read;
    }
    if (const std::uint32_t collected = collect_log_files(records.all(), list);
        collected != XOLTLOG_OK) {
      return collected;
    }
    const char* set_file_name = set_file_name_of(*records.all().front());
    select_into(list, records.all(), [&](const XoltLogFileEntry& entry) {
      return wanted_logset(entry, product_id, set_file_name);
    });
    return std::uint32_t{XOLTLOG_OK};
  });
}

}  // namespace xoltlog
