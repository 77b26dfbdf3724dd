// The property store behind the exported uti* operations, for the
// configuration readers and writers as well: the choice of backend and the
// operations both backends share. Arguments and results are those of the
// exported operations (property_store.h), null checks included. Nothing
// here takes a lock. Functions not marked noexcept may throw std::bad_alloc;
// their exported adapters turn it into the operation's failure result.
#pragma once

#include <cstdint>

#include "config/store_file.h"
#include "xoltlog/property_store.h"

namespace xoltlog {

// A location containing ".conf" anywhere names a store file.
bool is_store_file_location(const char* location) noexcept;
// The backend is fixed when the handle is opened: a registry key, or none.
inline bool is_registry_store(const XoltLogPropertyStore& handle) noexcept {
  return handle.registry_key != 0;
}

std::uint32_t store_open(const char* location, const char* section, XoltLogPropertyStore* handle,
                         std::uint32_t mode);
// Returns a result code, not a store result.
std::uint32_t store_create(const char* location, const char* section,
                           XoltLogPropertyStore* handle);
std::uint32_t store_close(XoltLogPropertyStore* handle) noexcept;
std::uint32_t store_get_text(XoltLogPropertyStore* handle, const char* name, char** value);
std::uint32_t store_set_text(XoltLogPropertyStore* handle, const char* name,
                             const char* value);
std::uint32_t store_remove_property(XoltLogPropertyStore* handle, const char* name);
std::uint32_t store_remove_section(XoltLogPropertyStore* handle, const char* name);
std::uint32_t store_enum_sections(XoltLogPropertyStore* handle, StoreSections which,
                                  std::uint32_t index, char* buffer,
                                  std::uint32_t* length);

}  // namespace xoltlog
