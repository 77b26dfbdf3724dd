// The file backend of the property store: a store file of property lines,
// read through the line file in the handle and changed only by replacing
// it as a whole. The handle's registry key is 0. Results are store results;
// any of these but the ones marked noexcept may throw std::bad_alloc, which
// the exported adapters turn into the operation's failure.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/line_file.h"
#include "xoltlog/property_store.h"

namespace xoltlog {

inline platform::LineFile* stream_of(const XoltLogPropertyStore& handle) noexcept {
  return reinterpret_cast<platform::LineFile*>(handle.file.stream);
}

// Closes the handle's stream, if any, and keeps stream in its place.
void set_stream(XoltLogPropertyStore& handle, platform::LineFilePtr stream) noexcept;

// The handle must be cleared. location and section are not null.
std::uint32_t file_store_open(const char* location, const char* section,
                              XoltLogPropertyStore& handle);
// Opens the store file, or creates it holding the four comment lines: a
// result code, 0 or 6.
std::uint32_t file_store_create(const char* location, const char* section,
                                XoltLogPropertyStore& handle);
void file_store_close(XoltLogPropertyStore& handle) noexcept;

// The value of a property as stored (UTF-8): 0, 2 without a stream, 3 none.
std::uint32_t file_store_get(XoltLogPropertyStore& handle, std::string_view name,
                             std::string& value);
// Writes name = value (UTF-8) in the handle's section, see utiSetPropertyAsStr.
std::uint32_t file_store_set(XoltLogPropertyStore& handle, std::string_view name,
                             std::string_view value);
std::uint32_t file_store_remove(XoltLogPropertyStore& handle, std::string_view name);
std::uint32_t file_store_remove_section(XoltLogPropertyStore& handle, std::string_view name);

enum class StoreSections { kProducts, kLogsets };

// The next section or logset name after the stream's position that differs
// from the text in buffer (at most length bytes of it are looked at).
std::uint32_t file_store_enum(XoltLogPropertyStore& handle, StoreSections which, char* buffer,
                              std::uint32_t& length);

}  // namespace xoltlog
