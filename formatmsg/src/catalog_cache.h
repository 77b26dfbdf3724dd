// Catalog files read once and kept, process-wide.
//
// Thread safety: every member may be called from any thread. The mutex is
// never held while a file is read, so a slow disk delays only the thread
// that reads. Memory is bounded: at most kMaxFiles files and kMaxBytes bytes
// of templates are kept; the oldest entries make room. A file that is
// missing or unusable is remembered too, and looked for again after
// kRetryMissing, so a catalog installed later is found without a restart.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "catalog.h"

namespace xoltlog::fmt {

class CatalogCache {
 public:
  static constexpr std::size_t kMaxFiles = 32;
  static constexpr std::size_t kMaxBytes = std::size_t{16} << 20;
  // Larger files are refused rather than read: a catalog is a few hundred
  // lines, so anything this big is not one.
  static constexpr std::size_t kMaxFileSize = std::size_t{4} << 20;
  static constexpr std::chrono::seconds kRetryMissing{30};

  // The catalog at path, or null when it cannot be read. The catalog stays
  // valid while the pointer is held, even if it is evicted meanwhile.
  std::shared_ptr<const Catalog> get(const std::string& path);

  // The process's cache.
  static CatalogCache& instance();

 private:
  struct Entry {
    std::shared_ptr<const Catalog> catalog;  // null: missing
    std::chrono::steady_clock::time_point loaded;
  };

  void insert(const std::string& path, Entry entry);
  void evict_oldest();

  std::mutex mutex_;
  std::unordered_map<std::string, Entry> entries_;
  std::deque<std::string> order_;  // insertion order, oldest first
  std::size_t bytes_ = 0;
};

// Reads a whole regular file of at most max_size bytes into content; false
// when it is missing, not a regular file, too large or unreadable.
bool read_small_file(const std::string& path, std::size_t max_size, std::string& content);

}  // namespace xoltlog::fmt
