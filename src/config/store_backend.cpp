#include "config/store_backend.h"

#include <cstring>
#include <string>
#include <string_view>

#include "config/store_registry.h"
#include "platform/heap.h"
#include "platform/file_primitives.h"
#include "platform/text_convert.h"
#include "xoltlog/result.h"

namespace xoltlog {
namespace {

// The file backend's text, converted to the process's code page and
// without trailing blanks.
std::uint32_t file_text(XoltLogPropertyStore& handle, const char* name, char** value) {
  std::string stored;
  std::uint32_t result = file_store_get(handle, name, stored);
  BlockPtr<char> converted;
  if (result == XOLTLOG_STORE_OK &&
      platform::utf8_to_code_page(converted, stored.c_str()) != XOLTLOG_OK) {
    result = XOLTLOG_STORE_E_PROPERTY;
  }
  if (result != XOLTLOG_STORE_OK) {
    return result;
  }
  std::size_t length = std::strlen(converted.get());
  while (length > 0 &&
         (converted.get()[length - 1] == ' ' || converted.get()[length - 1] == '\t')) {
    --length;
  }
  converted.get()[length] = '\0';
  *value = converted.release();
  return XOLTLOG_STORE_OK;
}

std::uint32_t registry_text(const XoltLogPropertyStore& handle, const char* name, char** value) {
  platform::RegistryValue stored;
  if (registry_store_query(handle, name, stored) != XOLTLOG_STORE_OK ||
      stored.type != platform::kRegistryText) {
    return XOLTLOG_STORE_E_PROPERTY;
  }
  *value = duplicate_string(reinterpret_cast<const char*>(stored.data.get()));
  return *value != nullptr ? XOLTLOG_STORE_OK : XOLTLOG_STORE_E_PROPERTY;
}

std::uint32_t set_file_text(XoltLogPropertyStore& handle, const char* name, const char* value) {
  BlockPtr<char> utf8;
  if (platform::code_page_to_utf8(utf8, value) != XOLTLOG_OK) {
    return XOLTLOG_STORE_E_PROPERTY;
  }
  return file_store_set(handle, name, utf8.get());
}

}  // namespace

bool is_store_file_location(const char* location) noexcept {
  return std::strstr(location, ".conf") != nullptr;
}

std::uint32_t store_open(const char* location, const char* section, XoltLogPropertyStore* handle,
                         std::uint32_t mode) {
  if (location == nullptr || section == nullptr || handle == nullptr) {
    return XOLTLOG_STORE_E_ARG;
  }
  std::memset(handle, 0, sizeof *handle);
  return is_store_file_location(location) ? file_store_open(location, section, *handle)
                                          : registry_store_open(location, section, *handle, mode);
}

std::uint32_t store_create(const char* location, const char* section,
                           XoltLogPropertyStore* handle) {
  if (handle == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  if (store_open(location, section, handle, XOLTLOG_STORE_ALL_ACCESS) == XOLTLOG_STORE_OK) {
    return XOLTLOG_OK;
  }
  if (location == nullptr || section == nullptr) {
    return XOLTLOG_E_CFG_STORE;
  }
  return is_store_file_location(location) ? file_store_create(location, section, *handle)
                                          : registry_store_create(location, section, *handle);
}

std::uint32_t store_close(XoltLogPropertyStore* handle) noexcept {
  if (handle == nullptr) {
    return XOLTLOG_STORE_E_ARG;
  }
  if (is_registry_store(*handle)) {
    registry_store_close(*handle);
  } else {
    file_store_close(*handle);
  }
  return XOLTLOG_STORE_OK;
}

// A text already in *value is released even when the read then fails, as
// the caller hands it over with the call.
std::uint32_t store_get_text(XoltLogPropertyStore* handle, const char* name,
                             char** value) {
  if (handle == nullptr || name == nullptr || value == nullptr) {
    return XOLTLOG_STORE_E_ARG;
  }
  release(*value);
  *value = nullptr;
  return is_registry_store(*handle) ? registry_text(*handle, name, value)
                                    : file_text(*handle, name, value);
}

std::uint32_t store_set_text(XoltLogPropertyStore* handle, const char* name,
                             const char* value) {
  if (handle == nullptr || name == nullptr || value == nullptr) {
    return XOLTLOG_STORE_E_ARG;
  }
  return is_registry_store(*handle) ? registry_store_set_text(*handle, name, value)
                                    : set_file_text(*handle, name, value);
}

std::uint32_t store_remove_property(XoltLogPropertyStore* handle, const char* name) {
  if (handle == nullptr || name == nullptr) {
    return XOLTLOG_STORE_E_ARG;
  }
  return is_registry_store(*handle) ? registry_store_remove(*handle, name)
                                    : file_store_remove(*handle, name);
}

std::uint32_t store_remove_section(XoltLogPropertyStore* handle, const char* name) {
  if (handle == nullptr || name == nullptr) {
    return XOLTLOG_STORE_E_ARG;
  }
  if (is_store_file_location(name)) {
    // A registry handle opened for reading changes nothing, a store file
    // included.
    if (is_registry_store(*handle) && !registry_store_writable(*handle)) {
      return XOLTLOG_STORE_E_WRITE;
    }
    return platform::file_delete(name) == 0 ? XOLTLOG_STORE_OK : XOLTLOG_STORE_E_WRITE;
  }
  return is_registry_store(*handle) ? registry_store_remove_tree(*handle, name)
                                    : file_store_remove_section(*handle, name);
}

std::uint32_t store_enum_sections(XoltLogPropertyStore* handle, StoreSections which,
                                  std::uint32_t index, char* buffer,
                                  std::uint32_t* length) {
  if (handle == nullptr || buffer == nullptr || length == nullptr) {
    return XOLTLOG_STORE_E_ARG;
  }
  return is_registry_store(*handle) ? registry_store_enum(*handle, index, buffer, *length)
                                    : file_store_enum(*handle, which, buffer, *length);
}

}  // namespace xoltlog
