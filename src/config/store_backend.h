// The property store behind the exported uti* operations, for the
// configuration readers and writers as well: the choice of backend and the
// operations both backends share. Arguments and results are those of the
// exported operations (property_store.h), null checks included. Nothing
// here takes a lock or throws.
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
                         std::uint32_t mode) noexcept;
// Returns a result code, not a store result.
std::uint32_t store_create(const char* location, const char* section,
                           XoltLogPropertyStore* handle) noexcept;
std::uint32_t store_close(XoltLogPropertyStore* handle) noexcept;
std::uint32_t store_get_text(XoltLogPropertyStore* handle, const char* name, char** value) noexcept;
std::uint32_t store_set_text(XoltLogPropertyStore* handle, const char* name,
                             const char* value) noexcept;
std::uint32_t store_remove_property(XoltLogPropertyStore* handle, const char* name) noexcept;
std::uint32_t store_remove_section(XoltLogPropertyStore* handle, const char* name) noexcept;
std::uint32_t store_enum_sections(XoltLogPropertyStore* handle, StoreSections which,
                                  std::uint32_t index, char* buffer,
                                  std::uint32_t* length) noexcept;

// Runs body; memory running out on the way gives on_failure.
template <typename Body>
std::uint32_t store_guarded(std::uint32_t on_failure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return on_failure;
  }
}

}  // namespace xoltlog
