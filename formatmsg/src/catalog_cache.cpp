#include "catalog_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace xoltlog::fmt {
namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

// O_NONBLOCK keeps a FIFO planted where a catalog belongs from blocking the
// logging thread; the regular-file check then refuses it.
bool read_small_file(const std::string& path, std::size_t max_size, std::string& content) {
  const Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  struct stat info {};
  if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
      info.st_size < 0 || static_cast<std::size_t>(info.st_size) > max_size) {
    return false;
  }
  content.assign(static_cast<std::size_t>(info.st_size), '\0');
  std::size_t filled = 0;
  while (filled < content.size()) {
    const ssize_t got = ::read(fd.get(), content.data() + filled, content.size() - filled);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      break;  // the file shrank meanwhile: keep what was there
    }
    filled += static_cast<std::size_t>(got);
  }
  content.resize(filled);
  return true;
}

std::shared_ptr<const Catalog> CatalogCache::get(const std::string& path) {
  const auto now = std::chrono::steady_clock::now();
  {
    const std::lock_guard lock(mutex_);
    const auto found = entries_.find(path);
    if (found != entries_.end() &&
        (found->second.catalog || now - found->second.loaded < kRetryMissing)) {
      return found->second.catalog;
    }
  }
  Entry entry{nullptr, now};
  std::string content;
  if (read_small_file(path, kMaxFileSize, content)) {
    entry.catalog = std::make_shared<const Catalog>(Catalog::parse(content));
  }
  const std::lock_guard lock(mutex_);
  const auto found = entries_.find(path);
  if (found != entries_.end() && found->second.catalog) {
    return found->second.catalog;  // another thread read it meanwhile
  }
  insert(path, entry);
  return entry.catalog;
}

void CatalogCache::insert(const std::string& path, Entry entry) {
  const std::size_t size = entry.catalog ? entry.catalog->bytes() : 0;
  if (const auto found = entries_.find(path); found != entries_.end()) {
    bytes_ -= found->second.catalog ? found->second.catalog->bytes() : 0;
    entries_.erase(found);
    order_.erase(std::find(order_.begin(), order_.end(), path));
  }
  while (!order_.empty() && (order_.size() >= kMaxFiles || bytes_ + size > kMaxBytes)) {
    evict_oldest();
  }
  // A single catalog over the budget is used for this call but not kept.
  if (size > kMaxBytes) {
    return;
  }
  order_.push_back(path);
  entries_.emplace(path, std::move(entry));
  bytes_ += size;
}

void CatalogCache::evict_oldest() {
  const auto found = entries_.find(order_.front());
  if (found != entries_.end()) {
    bytes_ -= found->second.catalog ? found->second.catalog->bytes() : 0;
    entries_.erase(found);
  }
  order_.pop_front();
}

CatalogCache& CatalogCache::instance() {
  static CatalogCache cache;
  return cache;
}

}  // namespace xoltlog::fmt
