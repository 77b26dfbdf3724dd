#include "config/store_registry.h"

#include <cstring>
#include <string>

#include "xoltlog/result.h"

namespace xoltlog {
namespace {

using platform::RegistryStatus;

const platform::RegistryKey& key_of(const XoltLogPropertyStore& handle) noexcept {
  return *reinterpret_cast<const platform::RegistryKey*>(handle.registry_key);
}

void keep_key(XoltLogPropertyStore& handle, platform::RegistryKeyPtr key) noexcept {
  handle.registry_key = reinterpret_cast<std::uintptr_t>(key.release());
}

std::string key_path(const char* location, const char* section, bool always_separate) {
  std::string path(location);
  if (always_separate || *section != '\0') {
    path += '\\';
    path += section;
  }
  return path;
}

std::uint32_t tree_removal_result(RegistryStatus status) noexcept {
  switch (status) {
    case RegistryStatus::kOk: return XOLTLOG_STORE_OK;
    case RegistryStatus::kNotFound: return XOLTLOG_STORE_E_NO_SECTION;
    default: return XOLTLOG_STORE_E_WRITE;
  }
}

}  // namespace

std::uint32_t registry_store_open(const char* location, const char* section,
                                  XoltLogPropertyStore& handle, std::uint32_t mode) {
  const platform::RegistryAccess access = mode == XOLTLOG_STORE_ALL_ACCESS
                                              ? platform::RegistryAccess::kAll
                                              : platform::RegistryAccess::kRead;
  platform::RegistryKeyPtr key;
  if (platform::open_registry_key(key_path(location, section, false), access, key) !=
      RegistryStatus::kOk) {
    return XOLTLOG_STORE_E_OPEN;
  }
  keep_key(handle, std::move(key));
  return XOLTLOG_STORE_OK;
}

std::uint32_t registry_store_create(const char* location, const char* section,
                                    XoltLogPropertyStore& handle) {
  platform::RegistryKeyPtr key;
  if (platform::create_registry_key(key_path(location, section, true), key) !=
      RegistryStatus::kOk) {
    return XOLTLOG_E_CFG_STORE;
  }
  keep_key(handle, std::move(key));
  return XOLTLOG_OK;
}

void registry_store_close(XoltLogPropertyStore& handle) noexcept {
  platform::RegistryKeyPtr closing(reinterpret_cast<platform::RegistryKey*>(handle.registry_key));
  handle.registry_key = 0;
}

bool registry_store_writable(const XoltLogPropertyStore& handle) noexcept {
  return platform::registry_key_writable(key_of(handle));
}

std::uint32_t registry_store_query(const XoltLogPropertyStore& handle, std::string_view name,
                                   platform::RegistryValue& value) {
  return platform::query_registry_value(key_of(handle), name, value) == RegistryStatus::kOk
             ? XOLTLOG_STORE_OK
             : XOLTLOG_STORE_E_PROPERTY;
}

std::uint32_t registry_store_set(const XoltLogPropertyStore& handle, std::string_view name,
                                 std::uint32_t type, const void* data,
                                 std::uint32_t size) {
  return platform::set_registry_value(key_of(handle), name, type, data, size) == RegistryStatus::kOk
             ? XOLTLOG_STORE_OK
             : XOLTLOG_STORE_E_PROPERTY;
}

std::uint32_t registry_store_set_text(const XoltLogPropertyStore& handle, std::string_view name,
                                      const char* text) {
  const std::size_t size = std::strlen(text) + 1;
  if (size > UINT32_MAX) {
    return XOLTLOG_STORE_E_PROPERTY;
  }
  return registry_store_set(handle, name, platform::kRegistryText, text,
                            static_cast<std::uint32_t>(size));
}

std::uint32_t registry_store_remove(const XoltLogPropertyStore& handle,
                                    std::string_view name) {
  return platform::delete_registry_value(key_of(handle), name) == RegistryStatus::kOk
             ? XOLTLOG_STORE_OK
             : XOLTLOG_STORE_E_WRITE;
}

// A name with a backslash is a key path of its own: the last component is
// deleted from the key above it, which is opened for this alone. Either
// form is refused through a handle opened for reading, which would
// otherwise reach any key.
std::uint32_t registry_store_remove_tree(const XoltLogPropertyStore& handle,
                                         std::string_view name) {
  if (!registry_store_writable(handle)) {
    return XOLTLOG_STORE_E_WRITE;
  }
  const std::size_t separator = name.rfind('\\');
  if (separator == std::string_view::npos) {
    return tree_removal_result(platform::delete_registry_tree(key_of(handle), name));
  }
  platform::RegistryKeyPtr parent;
  if (platform::open_registry_key(name.substr(0, separator), platform::RegistryAccess::kAll,
                                  parent) != RegistryStatus::kOk) {
    return XOLTLOG_STORE_E_WRITE;
  }
  return tree_removal_result(platform::delete_registry_tree(*parent, name.substr(separator + 1)));
}

std::uint32_t registry_store_enum(const XoltLogPropertyStore& handle, std::uint32_t index,
                                  char* buffer, std::uint32_t& length) {
  switch (platform::enum_registry_subkey(key_of(handle), index, buffer, length)) {
    case RegistryStatus::kOk: return XOLTLOG_STORE_OK;
    case RegistryStatus::kNoMoreItems: return XOLTLOG_STORE_NO_MORE;
    default: return XOLTLOG_STORE_E_WRITE;
  }
}

}  // namespace xoltlog
