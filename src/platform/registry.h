// The registry below HKEY_LOCAL_MACHINE, as far as the property store needs
// it.
//
// Registry keys are addressed by paths whose components are separated by
// backslashes on every platform; empty components are skipped. Key and value
// names match without regard to ASCII case, and a key keeps the spelling it
// was created with. Values are text (kRegistryText, stored with its
// terminating NUL counted) or 32-bit numbers (kRegistryNumber, four bytes).
//
// Every function may be called from several threads and processes at once: a
// value update is atomic (readers see the old or the new set of a key's
// values, never a mixture) and two updates of one key never lose each other.
// None takes the library lock; one open key is used by one thread at a time.
//
// Key directories are readable by every user and writable by their owner
// alone, as the registry's keys below HKEY_LOCAL_MACHINE are on Windows;
// values files keep the permissions and owner they have, and are readable
// by everybody when new. Any function but the ones marked noexcept may
// throw std::bad_alloc; the exported adapters above turn it into their
// failure result.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>


namespace xoltlog::platform {

inline constexpr std::uint32_t kRegistryText = 1;    // REG_SZ
inline constexpr std::uint32_t kRegistryNumber = 4;  // REG_DWORD

enum class RegistryStatus {
  kOk,
  kNotFound,      // the key, subkey or value does not exist
  kNoMoreItems,   // the enumeration index is past the last subkey
  kMoreData,      // the caller's buffer is too small
  kAccessDenied,  // the key was opened for reading, or the system refused
  kInvalidName,   // a path component that cannot name a key ("." or "..")
  kFailed,        // anything else: input/output error, damaged store
};

enum class RegistryAccess { kRead, kAll };

class RegistryKey;

struct CloseRegistryKey {
  void operator()(RegistryKey* key) const noexcept;
};

// An open key; closing it changes nothing in the store.
using RegistryKeyPtr = std::unique_ptr<RegistryKey, CloseRegistryKey>;

// Opens the existing key at path below the root. On POSIX the root is the
// directory $XOLTLOG_REGISTRY_ROOT (default /var/lib/xoltlog/registry); a
// root that does not exist makes every open and create fail with kNotFound.
RegistryStatus open_registry_key(std::string_view path, RegistryAccess access,
                                 RegistryKeyPtr& key);
// Opens the key at path with all access, creating it and every missing
// parent first.
RegistryStatus create_registry_key(std::string_view path, RegistryKeyPtr& key);
// False for a key opened for reading: every change through it is refused
// with kAccessDenied.
bool registry_key_writable(const RegistryKey& key) noexcept;

struct RegistryValue {
  std::uint32_t type = 0;
  // size bytes followed by one NUL byte that size does not count, so that a
  // text stored without its NUL still reads safely.
  std::unique_ptr<unsigned char[]> data;
  std::uint32_t size = 0;
};

RegistryStatus query_registry_value(const RegistryKey& key, std::string_view name,
                                    RegistryValue& value);
// Creates or replaces the value; an existing value keeps its spelling.
RegistryStatus set_registry_value(const RegistryKey& key, std::string_view name, std::uint32_t type,
                                  const void* data, std::uint32_t size);
RegistryStatus delete_registry_value(const RegistryKey& key, std::string_view name);

// The name of the index-th subkey in ascending order of names compared
// without case. length holds the buffer's size on entry and the name's
// length (without its NUL) on success; a name that does not fit with its
// NUL gives kMoreData.
RegistryStatus enum_registry_subkey(const RegistryKey& key, std::uint32_t index, char* name,
                                    std::uint32_t& length);
// Deletes the key at subkey (a path below key) with everything below it.
RegistryStatus delete_registry_tree(const RegistryKey& key, std::string_view subkey);

}  // namespace xoltlog::platform
