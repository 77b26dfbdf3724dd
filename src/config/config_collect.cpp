#include "config/config_collect.h"

#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "config/config_read.h"
#include "config/record.h"
#include "config/section_reader.h"
#include "config/store_backend.h"
#include "config/store_layout.h"
#include "platform/heap.h"
#include "frame/result_map.h"

namespace xoltlog {
namespace {

// A record from xoltLogMalloc until the array takes it.
class OwnedRecord {
 public:
  explicit OwnedRecord(const LibraryLockGuard& held) noexcept
      : held_(held), cfg_(static_cast<XoltLogCfg*>(allocate(sizeof(XoltLogCfg)))) {
    if (cfg_ != nullptr) {
      std::memset(cfg_, 0, sizeof *cfg_);
    }
  }
  ~OwnedRecord() {
    if (cfg_ != nullptr) {
      free_config(held_, *cfg_);
      ::xoltlog::release(cfg_);
    }
  }
  OwnedRecord(const OwnedRecord&) = delete;
  OwnedRecord& operator=(const OwnedRecord&) = delete;

  explicit operator bool() const noexcept { return cfg_ != nullptr; }
  XoltLogCfg* get() const noexcept { return cfg_; }
  XoltLogCfg* operator->() const noexcept { return cfg_; }
  XoltLogCfg* release() noexcept { return std::exchange(cfg_, nullptr); }

 private:
  const LibraryLockGuard& held_;
  XoltLogCfg* cfg_;
};

// The records of one product start as copies of its defaults' record, or,
// without one, as fresh records.
void start_record(const LibraryLockGuard& held, XoltLogCfg& cfg, const XoltLogCfg* base,
                  std::uint32_t product, std::uint32_t originator, const char* logset) {
  if (base == nullptr) {
    init_record(held, cfg, product, originator, logset);
  } else if (copy_config(held, &cfg, base) != XOLTLOG_OK) {
    throw std::bad_alloc();
  }
}

// A hand-edited store file can hold a line with an empty section name,
// which names no originator and no logset.
bool is_skipped_section(const char* section) noexcept {
  return *section == '\0' || std::strcmp(section, kDefaultSection) == 0 ||
         std::strcmp(section, kLogsetKey) == 0;
}

bool is_skipped_logset(const char* logset) noexcept {
  return *logset == '\0' || std::strcmp(logset, kDefaultSection) == 0;
}

// Ends a collector's walk: the end of the names is success.
std::uint32_t walk_result(std::uint32_t step) noexcept {
  return step == XOLTLOG_STORE_NO_MORE ? std::uint32_t{XOLTLOG_OK} : map_store_result(step);
}

}  // namespace

bool RecordArray::holds_originator(std::uint32_t product,
                                   std::uint32_t originator) const noexcept {
  for (std::uint64_t i = 0; i < count_; ++i) {
    if (records_[i]->product_id == product && records_[i]->originator_id == originator) {
      return true;
    }
  }
  return false;
}

bool RecordArray::holds_logset(std::uint32_t product, const char* logset) const noexcept {
  for (std::uint64_t i = 0; i < count_; ++i) {
    const XoltLogCfg& cfg = *records_[i];
    if (cfg.product_id == product && cfg.logset_name != nullptr &&
        std::strcmp(cfg.logset_name, logset) == 0) {
      return true;
    }
  }
  return false;
}

std::uint32_t collect_originators(const LibraryLockGuard& held, std::uint32_t product,
                                  const ProductRegistration& registration, RecordArray& array) {
  const std::string& location = registration.location;
  OpenStore root;
  if (const std::uint32_t opened = root.open(location, "", XOLTLOG_STORE_READ); opened != 0) {
    return map_store_result(opened);
  }
  OwnedRecord defaults(held);
  if (!defaults) {
    return XOLTLOG_E_CFG_STORE;
  }
  init_record(held, *defaults.get(), product, XOLTLOG_DEFAULT_ORIGINATOR, nullptr);
  const XoltLogCfg* base = nullptr;
  if (read_section(held, location, kDefaultSection, *defaults.get()) == XOLTLOG_OK) {
    set_product_names(held, *defaults.get(), registration.names);
    base = defaults.get();
    if (!array.full() && !array.holds_originator(product, XOLTLOG_DEFAULT_ORIGINATOR)) {
      array.add(defaults.release());
    }
  }
  SectionNames names(root.get(), StoreSections::kProducts);
  while (!array.full()) {
    if (const std::uint32_t step = names.next(); step != XOLTLOG_STORE_OK) {
      return walk_result(step);
    }
    if (is_skipped_section(names.name())) {
      continue;
    }
    OwnedRecord record(held);
    if (!record) {
      return XOLTLOG_E_CFG_STORE;
    }
    start_record(held, *record.get(), base, product, XOLTLOG_DEFAULT_ORIGINATOR, nullptr);
    read_section(held, location, names.name(), *record.get());
    set_product_names(held, *record.get(), registration.names);
    record->originator_id = identifier_of(names.name());
    if (!array.holds_originator(product, record->originator_id)) {
      array.add(record.release());
    }
  }
  return XOLTLOG_OK;
}

std::uint32_t collect_logsets(const LibraryLockGuard& held, std::uint32_t product,
                              const ProductRegistration& registration, RecordArray& array) {
  const std::string& location = registration.location;
  OpenStore root;
  if (const std::uint32_t opened = root.open(logset_root(location), "", XOLTLOG_STORE_READ);
      opened != 0) {
    return map_store_result(opened);
  }
  OwnedRecord defaults(held);
  if (!defaults) {
    return XOLTLOG_E_CFG_STORE;
  }
  init_record(held, *defaults.get(), product, 0, kDefaultSection);
  const XoltLogCfg* base = nullptr;
  if (read_logset_section(held, location, kDefaultSection, *defaults.get()) > 0) {
    set_product_names(held, *defaults.get(), registration.names);
    base = defaults.get();
    if (!array.full() && !array.holds_logset(product, kDefaultSection)) {
      array.add(defaults.release());
    }
  }
  SectionNames names(root.get(), StoreSections::kLogsets);
  while (!array.full()) {
    if (const std::uint32_t step = names.next(); step != XOLTLOG_STORE_OK) {
      return walk_result(step);
    }
    if (is_skipped_logset(names.name())) {
      continue;
    }
    OwnedRecord record(held);
    if (!record) {
      return XOLTLOG_E_CFG_STORE;
    }
    start_record(held, *record.get(), base, product, 0, names.name());
    if (read_logset_section(held, location, names.name(), *record.get()) == 0) {
      continue;
    }
    record->originator_id = 0;
    set_product_names(held, *record.get(), registration.names);
    if (!array.holds_logset(product, record->logset_name)) {
      array.add(record.release());
    }
  }
  return XOLTLOG_OK;
}

}  // namespace xoltlog
