// Reading every section of registered products into a caller's array of
// records: per product its "Default" record, its originators' records, its
// "Default" logset record and its logsets' records, in the store's
// enumeration order.
//
// Records come from xoltLogMalloc and belong to the caller once they are
// counted; a record that is not added (a duplicate, or one built while the
// array is full) is released at once. Everything here runs under the
// library lock and may throw std::bad_alloc; records added before that stay
// counted.
#pragma once

#include <cstdint>

#include "config/config_lookups.h"
#include "config/store_backend.h"
#include "frame/library_lock.h"
#include "xoltlog/config.h"

namespace xoltlog {

// The names of an open store's sections (or logsets) in enumeration order,
// into an 80-byte buffer; a longer name ends the walk with a failure. The
// buffer keeps the last name, which the store file's enumeration needs to
// find the next one.
class SectionNames {
 public:
  SectionNames(XoltLogPropertyStore* store, StoreSections which) noexcept
      : store_(store), which_(which) {}
  // A store result: 0 with the next name, 7 after the last one.
  std::uint32_t next() {
    std::uint32_t length = sizeof name_;
    return store_enum_sections(store_, which_, index_++, name_, &length);
  }
  const char* name() const noexcept { return name_; }

 private:
  XoltLogPropertyStore* store_;
  StoreSections which_;
  std::uint32_t index_ = 0;
  char name_[80] = "";
};

// The caller's array: capacity slots, count of them filled.
class RecordArray {
 public:
  RecordArray(XoltLogCfg** records, std::uint64_t capacity, std::uint64_t& count) noexcept
      : records_(records), capacity_(capacity), count_(count) {}

  bool full() const noexcept { return count_ >= capacity_; }
  std::uint64_t count() const noexcept { return count_; }
  bool holds_originator(std::uint32_t product, std::uint32_t originator) const noexcept;
  bool holds_logset(std::uint32_t product, const char* logset) const noexcept;
  // Stores record in the next slot; the array must not be full.
  void add(XoltLogCfg* record) noexcept { records_[count_++] = record; }

 private:
  XoltLogCfg** records_;
  std::uint64_t capacity_;
  std::uint64_t& count_;
};

// The originator collector and the logset collector of one product. Result
// codes: 0 when enumeration ended or the array became full; the mapped
// store result when the product's sections cannot be opened or enumerated;
// 6 when a record cannot be allocated.
std::uint32_t collect_originators(const LibraryLockGuard& held, std::uint32_t product,
                                  const ProductRegistration& registration, RecordArray& array);
std::uint32_t collect_logsets(const LibraryLockGuard& held, std::uint32_t product,
                              const ProductRegistration& registration, RecordArray& array);

// See xoltLogReadProdIDCfg and xoltLogReadAllCfg; registration is the
// registration store's location, not null. The count starts at 0.
std::uint32_t read_product_configs(const LibraryLockGuard& held, const char* registration,
                                   std::uint32_t product, RecordArray& array);
std::uint32_t read_all_configs(const LibraryLockGuard& held, const char* registration,
                               RecordArray& array);

}  // namespace xoltlog
