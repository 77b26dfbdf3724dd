// The pieces of the POSIX registry stand-in that its key half and its value
// half share. A key is a directory named as created; its values live in one
// file inside it, replaced as a whole under the directory's advisory lock.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "platform/registry.h"

namespace xoltlog::platform {

// An open key: the directory that holds it, and whether it was opened to be
// changed.
class RegistryKey {
 public:
  RegistryKey(std::string directory, bool writable) noexcept
      : directory_(std::move(directory)), writable_(writable) {}

  const std::string& directory() const noexcept { return directory_; }
  bool writable() const noexcept { return writable_; }

 private:
  std::string directory_;
  bool writable_;
};

namespace posix {

// The entries of a key directory that are not subkeys all hold a backslash,
// which no key name can, so they never collide with a subkey; the values
// file's temporary file is "\\values.tmp".
inline constexpr char kValuesFile[] = "\\values";
inline constexpr char kDeletedPrefix[] = "\\deleted.";

// True for a directory entry that may be a subkey.
bool is_key_entry_name(std::string_view name) noexcept;
bool equal_ignoring_case(std::string_view a, std::string_view b) noexcept;
RegistryStatus registry_status_of(int error) noexcept;

// Replaces the key's values file with bytes (FileReplacement, a link in
// its place replaced rather than followed). The caller holds the key's
// DirectoryLock; the temporary file never stays behind. May throw
// std::bad_alloc.
RegistryStatus write_values_file(const std::string& directory, std::string_view bytes);

}  // namespace posix
}  // namespace xoltlog::platform
