#include "config/config_lookups.h"

#include <algorithm>
#include <cstring>

#include "config/store_layout.h"
#include "config/store_typed.h"
#include "platform/heap.h"
#include "xoltlog/property_store.h"

namespace xoltlog {
namespace {

constexpr std::size_t kNamesLength = XOLTLOG_CFG_TEXT_SIZE - 1;

const char* registration_or_default(const char* registration) noexcept {
  return registration != nullptr ? registration : store_location();
}

// Hands a copy of text to the caller: 0, or 4 when it cannot be made.
std::uint32_t give_copy(const std::string& text, char** out) noexcept {
  char* copy = duplicate_string(text.c_str());
  if (copy == nullptr) {
    return XOLTLOG_E_NO_MEMORY;
  }
  *out = copy;
  return XOLTLOG_OK;
}

}  // namespace

std::optional<ProductRegistration> product_registration(const char* registration,
                                                        std::uint32_t product) {
  OpenStore key;
  if (key.open(registration_or_default(registration), product_key(product),
               XOLTLOG_STORE_READ) != XOLTLOG_STORE_OK) {
    return std::nullopt;
  }
  std::optional<std::string> location = key.text(kConfigurationValue);
  if (!location || location->empty()) {
    return std::nullopt;
  }
  return ProductRegistration{std::move(*location), key.text(kNamesValue).value_or("")};
}

void set_product_names(const LibraryLockGuard&, XoltLogCfg& cfg, const std::string& names) {
  const std::size_t length = std::min(names.size(), kNamesLength);
  std::memcpy(cfg.product_names, names.data(), length);
  cfg.product_names[length] = '\0';
}

std::uint32_t product_config_path(const char* registration, std::uint32_t product, char** path) {
  const std::optional<ProductRegistration> found = product_registration(registration, product);
  if (!found) {
    return XOLTLOG_E_CFG_STORE;
  }
  return give_copy(found->location, path);
}

std::uint32_t product_logging_level(const char* registration, std::uint32_t product,
                                    std::uint32_t* level) {
  OpenStore key;
  std::uint32_t flag = 0;
  if (key.open(registration_or_default(registration), product_key(product),
               XOLTLOG_STORE_READ) != XOLTLOG_STORE_OK ||
      store_get_bool(key.get(), kProductAppMsgLoggingValue, &flag) != XOLTLOG_STORE_OK) {
    return XOLTLOG_E_CFG_STORE;
  }
  *level = flag;
  return XOLTLOG_OK;
}

std::uint32_t tools_resource_dir(char** directory) {
  OpenStore key;
  if (key.open(store_location(), kLoggingToolsKey, XOLTLOG_STORE_READ) != XOLTLOG_STORE_OK) {
    return XOLTLOG_E_CFG_STORE;
  }
  const std::optional<std::string> value = key.text(kToolsResourceDirValue);
  if (!value) {
    return XOLTLOG_E_CFG_STORE;
  }
  return give_copy(*value, directory);
}

std::uint32_t short_name(const LibraryLockGuard&, const XoltLogCfg& cfg, std::uint16_t kind,
                         char** name) noexcept {
  const char* names = kind == kProductNamesKind ? cfg.product_names : cfg.originator_names;
  char first[XOLTLOG_CFG_TEXT_SIZE];
  std::strncpy(first, names, kNamesLength);
  first[kNamesLength] = '\0';
  *name = nullptr;
  if (first[0] == '\0') {
    return XOLTLOG_OK;
  }
  char* cut = std::strchr(first, ',');
  if (cut == nullptr) {
    cut = std::strchr(first, ' ');
  }
  if (cut != nullptr) {
    *cut = '\0';
  }
  *name = duplicate_string(first);
  return *name != nullptr ? XOLTLOG_OK : XOLTLOG_E_NO_MEMORY;
}

}  // namespace xoltlog
