// The pieces of the POSIX registry stand-in that its key half and its value
// half share. A key is a directory named as created; its values live in one
// file inside it, replaced as a whole under the directory's advisory lock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace xoltlog::platform {

struct StoredValue {
  std::string name;
  std::uint32_t type;
  std::string data;
};
using ValueSet = std::vector<StoredValue>;

// The values of a key as last read, and which values file they came from:
// the file is only ever replaced, never changed in place, so while the same
// file (size and change time included, against damage in place) stands
// under its name the values are still those.
struct KeptValues {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t changed_ns = 0;
  ValueSet values;
};

// An open key: the directory that holds it, and whether it was opened to be
// changed. It keeps the values it read last, so that reading a whole section
// reads the values file once and then only looks whether it was replaced.
class RegistryKey {
 public:
  RegistryKey(std::string directory, bool writable) noexcept
      : directory_(std::move(directory)), writable_(writable) {}

  const std::string& directory() const noexcept { return directory_; }
  bool writable() const noexcept { return writable_; }
  std::optional<KeptValues>& kept_values() const noexcept { return kept_values_; }

 private:
  std::string directory_;
  bool writable_;
  mutable std::optional<KeptValues> kept_values_;
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
