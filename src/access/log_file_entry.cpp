#include "access/log_file_entry.h"

#include <cstddef>
#include <cstring>

#include "platform/heap.h"
#include "platform/dir_listing.h"
#include "platform/file_primitives.h"

namespace xoltlog {

XoltLogFileEntry* make_log_file_entry(const XoltLogDirListing& listing) noexcept {
  const char* name = listing.find_data.file_name;
  const std::size_t length = strnlen(name, sizeof listing.find_data.file_name - 1);
  // sizeof already counts file_name's one byte, which holds the NUL.
  const std::size_t size = sizeof(XoltLogFileEntry) + length;
  auto* entry = static_cast<XoltLogFileEntry*>(allocate(size));
  if (entry == nullptr) {
    return nullptr;
  }
  std::memset(entry, 0, size);
  platform::file_init(entry->file);
  entry->time = platform::file_time_to_seconds(listing.find_data.creation_time);
  // The name runs past the declared one-byte array into the rest of the
  // block; addressing it from the block start keeps that visible.
  char* stored_name = reinterpret_cast<char*>(entry) + offsetof(XoltLogFileEntry, file_name);
  std::memcpy(stored_name, name, length);
  return entry;
}

}  // namespace xoltlog
