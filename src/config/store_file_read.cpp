// The file backend's reading side: opening, property reads and the two
// enumerations.
#include <cstring>

#include "config/store_file.h"
#include "config/store_lines.h"
#include "xoltlog/property_store.h"

namespace xoltlog {
namespace {

bool fits_handle(const char* text) noexcept {
  return strnlen(text, XOLTLOG_STORE_TEXT_SIZE) < XOLTLOG_STORE_TEXT_SIZE;
}

// Another process may have replaced the store file since the handle opened
// it; a read then follows the name to the current file, as a reader on the
// original platform would, whose replacement cannot happen while it reads.
void follow_replacement(XoltLogPropertyStore& handle) noexcept {
  platform::LineFile* stream = stream_of(handle);
  if (stream != nullptr && !platform::is_same_file(*stream, handle.file.file_name)) {
    platform::reopen_line_file(*stream, handle.file.file_name);
  }
}

std::optional<std::string_view> section_of(StoreSections which, std::string_view line) noexcept {
  if (is_comment_line(line)) {
    return std::nullopt;
  }
  return which == StoreSections::kProducts ? product_of_line(line) : logset_of_line(line);
}

}  // namespace

void set_stream(XoltLogPropertyStore& handle, platform::LineFilePtr stream) noexcept {
  const platform::LineFilePtr old(stream_of(handle));
  handle.file.stream = reinterpret_cast<std::uintptr_t>(stream.release());
}

std::uint32_t file_store_open(const char* location, const char* section,
                              XoltLogPropertyStore& handle) {
  if (!fits_handle(location) || !fits_handle(section)) {
    return XOLTLOG_STORE_E_OPEN;
  }
  platform::LineFilePtr stream = platform::open_line_file(location);
  if (stream == nullptr) {
    return XOLTLOG_STORE_E_OPEN;
  }
  std::strcpy(handle.file.section, section);
  std::strcpy(handle.file.file_name, location);
  set_stream(handle, std::move(stream));
  return XOLTLOG_STORE_OK;
}

void file_store_close(XoltLogPropertyStore& handle) noexcept { set_stream(handle, nullptr); }

std::uint32_t file_store_get(XoltLogPropertyStore& handle, std::string_view name,
                             std::string& value) {
  follow_replacement(handle);
  platform::LineFile* stream = stream_of(handle);
  if (stream == nullptr) {
    return XOLTLOG_STORE_E_OPEN;
  }
  const std::string key = property_key(handle.file.section, name);
  if (!platform::rewind_line_file(*stream)) {
    return XOLTLOG_STORE_E_PROPERTY;
  }
  while (const std::optional<std::string_view> line = platform::read_line(*stream)) {
    if (line_has_key(*line, key)) {
      value = line_value(*line);
      return XOLTLOG_STORE_OK;
    }
  }
  return XOLTLOG_STORE_E_PROPERTY;
}

std::uint32_t file_store_enum(XoltLogPropertyStore& handle, StoreSections which, char* buffer,
                              std::uint32_t& length) {
  platform::LineFile* stream = stream_of(handle);
  if (stream == nullptr || length == 0) {
    return XOLTLOG_STORE_E_ARG;
  }
  const std::string_view previous(buffer, strnlen(buffer, length));
  while (const std::optional<std::string_view> line = platform::read_line(*stream)) {
    const std::optional<std::string_view> name = section_of(which, *line);
    if (!name || *name == previous) {
      continue;
    }
    if (name->size() >= length) {
      return XOLTLOG_STORE_E_WRITE;
    }
    std::memcpy(buffer, name->data(), name->size());
    buffer[name->size()] = '\0';
    length = static_cast<std::uint32_t>(name->size());
    return XOLTLOG_STORE_OK;
  }
  return platform::read_failed(*stream) ? XOLTLOG_STORE_E_WRITE : XOLTLOG_STORE_NO_MORE;
}

}  // namespace xoltlog
