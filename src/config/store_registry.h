// The registry backend of the property store: the handle's registry key is
// an open platform::RegistryKey, sections are subkeys and properties are
// named values. Results are store results unless noted; any of these but
// the ones marked noexcept may throw std::bad_alloc, which the exported
// adapters turn into the operation's failure.
//
// A handle opened for reading refuses every change. The registry calls
// that refusal access denied; the store reports it as the failed write it
// is: 3 for a set, 6 for a removal, as for any other refused write.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/registry.h"
#include "xoltlog/property_store.h"

namespace xoltlog {

// The handle must be cleared; location and section are not null.
std::uint32_t registry_store_open(const char* location, const char* section,
                                  XoltLogPropertyStore& handle, std::uint32_t mode);
// Creates "<location>\<section>" and opens it: a result code, 0 or 6.
std::uint32_t registry_store_create(const char* location, const char* section,
                                    XoltLogPropertyStore& handle);
void registry_store_close(XoltLogPropertyStore& handle) noexcept;
// False for a handle opened for reading.
bool registry_store_writable(const XoltLogPropertyStore& handle) noexcept;

// 0, or 3 when the value is missing or cannot be read.
std::uint32_t registry_store_query(const XoltLogPropertyStore& handle, std::string_view name,
                                   platform::RegistryValue& value);
// 0, or 3 when the write is refused.
std::uint32_t registry_store_set(const XoltLogPropertyStore& handle, std::string_view name,
                                 std::uint32_t type, const void* data, std::uint32_t size);
std::uint32_t registry_store_set_text(const XoltLogPropertyStore& handle, std::string_view name,
                                      const char* text);
std::uint32_t registry_store_remove(const XoltLogPropertyStore& handle,
                                    std::string_view name);
std::uint32_t registry_store_remove_tree(const XoltLogPropertyStore& handle, std::string_view name);
std::uint32_t registry_store_enum(const XoltLogPropertyStore& handle, std::uint32_t index,
                                  char* buffer, std::uint32_t& length);

}  // namespace xoltlog
