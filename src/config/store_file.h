// The file backend of the property store: a store file of property lines,
// read through the stream in the handle and changed only by replacing it as
// a whole. The handle's registry key is 0. Results are store results; any of
// these may throw std::bad_alloc, which the callers turn into a failure.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_replace.h"
#include "xoltlog/property_store.h"

namespace xoltlog {

inline std::FILE* stream_of(const XoltLogPropertyStore& handle) noexcept {
  return reinterpret_cast<std::FILE*>(handle.file.stream);
}

// Closes the handle's stream, if any, and keeps stream in its place.
void set_stream(XoltLogPropertyStore& handle, platform::StreamPtr stream) noexcept;

// The directory that holds a store file: the text before the last "/", or
// "." for a bare file name.
std::string store_directory(std::string_view file_name);

// Reads the lines of a stream from its current position.
class LineReader {
 public:
  explicit LineReader(std::FILE* stream) noexcept : stream_(stream) {}
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // The next line without its "\n" or "\r\n", valid until the next call;
  // none at the end of the file or when reading fails.
  std::optional<std::string_view> next() noexcept;
  bool failed() const noexcept { return failed_; }

 private:
  std::FILE* stream_;
  char* buffer_ = nullptr;
  std::size_t capacity_ = 0;
  bool failed_ = false;
};

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
