#include "config/store_layout.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "config/store_backend.h"
#include "platform/heap.h"
#include "xoltlog/config.h"

namespace xoltlog {
namespace {

// The location is read from the environment once; the text stays valid for
// the life of the process (a copy, so a later setenv cannot pull it away).
std::atomic<const char*> g_location{nullptr};
std::mutex g_location_guard;

}  // namespace

const char* store_location() noexcept {
  if (const char* known = g_location.load(std::memory_order_acquire); known != nullptr) {
    return known;
  }
  std::lock_guard<std::mutex> guard(g_location_guard);
  const char* known = g_location.load(std::memory_order_relaxed);
  if (known == nullptr) {
    const char* configured = std::getenv(kStoreLocationVariable);
    known = configured == nullptr ? kDefaultStoreLocation : duplicate_string(configured);
    if (known == nullptr) {
      // Not kept, so that the next call copies it again: falling back to the
      // default location would send every later call to another store.
      return configured;
    }
    g_location.store(known, std::memory_order_release);
  }
  return known;
}

void forget_store_location() noexcept {
  std::lock_guard<std::mutex> guard(g_location_guard);
  const char* known = g_location.exchange(nullptr);
  if (known != nullptr && known != kDefaultStoreLocation) {
    release(const_cast<char*>(known));
  }
}

bool is_default_originator(std::uint32_t originator) noexcept {
  return originator == XOLTLOG_DEFAULT_ORIGINATOR;
}

bool is_default_logset(const char* logset) noexcept {
  return logset != nullptr && std::strcmp(logset, kDefaultSection) == 0;
}

std::string originator_section(std::uint32_t originator) {
  return is_default_originator(originator) ? std::string(kDefaultSection)
                                           : std::to_string(originator);
}

std::string logset_section(const char* logset) {
  return is_default_logset(logset) ? std::string(kDefaultSection) : std::string(logset);
}

std::string product_key(std::uint32_t product) { return std::to_string(product); }

std::uint32_t identifier_of(const char* name) noexcept {
  return static_cast<std::uint32_t>(std::strtoul(name, nullptr, 10));
}

std::string logset_root(const std::string& product_location) {
  return is_store_file_location(product_location.c_str())
             ? product_location
             : product_location + "\\" + kLogsetKey;
}

std::string logset_store_section(const std::string& product_location,
                                 const std::string& section) {
  return is_store_file_location(product_location.c_str())
             ? std::string(kLogsetKey) + "." + section
             : section;
}

OpenStore::OpenStore() noexcept : handle_{} {}

OpenStore::~OpenStore() { store_close(&handle_); }

std::uint32_t OpenStore::open(const std::string& location, const std::string& section,
                              std::uint32_t mode) {
  store_close(&handle_);
  return store_open(location.c_str(), section.c_str(), &handle_, mode);
}

std::uint32_t OpenStore::create(const std::string& location, const std::string& section) {
  store_close(&handle_);
  return store_create(location.c_str(), section.c_str(), &handle_);
}

std::optional<std::string> OpenStore::text(const char* name) {
  char* value = nullptr;
  if (store_get_text(&handle_, name, &value) != XOLTLOG_STORE_OK) {
    return std::nullopt;
  }
  BlockPtr<char> owned(value);
  return std::string(owned.get());
}

namespace {

std::optional<std::string> registration_text(const char* registration, std::uint32_t product,
                                             const char* name) {
  OpenStore key;
  if (key.open(registration != nullptr ? registration : store_location(), product_key(product),
               0) != XOLTLOG_STORE_OK) {
    return std::nullopt;
  }
  return key.text(name);
}

}  // namespace

std::optional<std::string> product_config_location(const char* registration,
                                                   std::uint32_t product) {
  return registration_text(registration, product, kConfigurationValue);
}

std::optional<std::string> product_names(const char* registration, std::uint32_t product) {
  return registration_text(registration, product, kNamesValue);
}

}  // namespace xoltlog
