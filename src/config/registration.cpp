#include "config/registration.h"

#include <string>
#include <string_view>
#include <utility>

#include "config/store_backend.h"
#include "frame/result_map.h"
#include "xoltlog/result.h"

namespace xoltlog {
namespace {

constexpr std::uint32_t kEnumBufferSize = 256;

// "A\B\C" as the parent "A\B" and the name "C".
std::pair<std::string, std::string> split_key_path(std::string_view path) {
  const std::size_t last = path.rfind('\\');
  return {std::string(path.substr(0, last)), std::string(path.substr(last + 1))};
}

// Whether a key has no subkey at all; a key that cannot be enumerated
// counts as holding some, so that nothing is removed by mistake.
bool has_no_subkey(XoltLogPropertyStore& key) {
  char name[kEnumBufferSize] = "";
  std::uint32_t length = sizeof name;
  return store_enum_sections(&key, StoreSections::kProducts, 0, name, &length) ==
         XOLTLOG_STORE_NO_MORE;
}

// Removes the key "<parent>\<name>" with everything below it: the store
// result of opening the parent or of the removal.
std::uint32_t remove_key_tree(const std::string& parent, const std::string& name,
                              OpenStore& opened) {
  const auto [location, section] = split_key_path(parent);
  const std::uint32_t result = opened.open(location, section, XOLTLOG_STORE_ALL_ACCESS);
  if (result != XOLTLOG_STORE_OK) {
    return result;
  }
  return store_remove_section(opened.get(), name.c_str());
}

// The product's key goes from the registry's default location; with it
// the last one, the default location itself goes, and the vendor key stays.
std::uint32_t remove_product_key(std::uint32_t product) {
  const auto [root_parent, root_name] = split_key_path(kDefaultStoreLocation);
  bool root_empty = false;
  {
    OpenStore root;
    const std::uint32_t result = remove_key_tree(kDefaultStoreLocation, product_key(product), root);
    if (result != XOLTLOG_STORE_OK) {
      return result;
    }
    root_empty = has_no_subkey(*root.get());
  }
  if (!root_empty) {
    return XOLTLOG_STORE_OK;
  }
  OpenStore vendor;
  return remove_key_tree(root_parent, root_name, vendor);
}

}  // namespace

std::uint32_t open_new_registration(OpenStore& key, std::uint32_t product) {
  if (key.create(store_location(), product_key(product)) != XOLTLOG_OK) {
    return XOLTLOG_E_CFG_STORE;
  }
  return key.text(kConfigurationValue) ? XOLTLOG_E_ALREADY_REGISTERED : XOLTLOG_OK;
}

std::uint32_t write_registration(const LibraryLockGuard& /*held*/, OpenStore& key,
                                 const char* location, const char* names) {
  const std::uint32_t result =
      map_store_result(store_set_text(key.get(), kConfigurationValue, location));
  if (result != XOLTLOG_OK) {
    return result;
  }
  return map_store_result(store_set_text(key.get(), kNamesValue, names));
}

std::uint32_t open_registration(OpenStore& key, std::uint32_t product) {
  if (!product_config_location(nullptr, product) ||
      key.open(store_location(), product_key(product), XOLTLOG_STORE_ALL_ACCESS) !=
          XOLTLOG_STORE_OK) {
    return XOLTLOG_E_CFG_STORE;
  }
  return XOLTLOG_OK;
}

std::uint32_t remove_registration(const LibraryLockGuard& /*held*/, OpenStore& key,
                                  std::uint32_t product) {
  for (const char* value : {kConfigurationValue, kNamesValue}) {
    if (const std::uint32_t result = map_store_result(store_remove_property(key.get(), value));
        result != XOLTLOG_OK) {
      return result;
    }
  }
  return map_store_result(remove_product_key(product));
}

}  // namespace xoltlog
