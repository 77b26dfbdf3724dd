// Registry keys of the POSIX stand-in: finding, creating, listing and
// deleting key directories below the root.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/file_replace.h"
#include "platform/posix/file_modes.h"
#include "platform/posix/registry_key.h"
#include "platform/posix/syscalls.h"
#include "platform/posix/unique_dir.h"
#include "platform/posix/unique_fd.h"
#include "platform/registry.h"

namespace xoltlog::platform {

void CloseRegistryKey::operator()(RegistryKey* key) const noexcept { delete key; }

namespace {

using posix::syscalls;

constexpr char kDefaultRoot[] = "/var/lib/xoltlog/registry";

std::string registry_root() {
  const char* root = std::getenv("XOLTLOG_REGISTRY_ROOT");
  return root != nullptr && *root != '\0' ? root : kDefaultRoot;
}

// The non-empty components of a key path. "." and ".." would lead out of
// the key, and "/" would name a directory below another one.
RegistryStatus split_key_path(std::string_view path, std::vector<std::string_view>& parts) {
  for (std::size_t start = 0; start <= path.size();) {
    std::size_t end = path.find('\\', start);
    end = end == std::string_view::npos ? path.size() : end;
    const std::string_view part = path.substr(start, end - start);
    if (part == "." || part == ".." || part.find('/') != std::string_view::npos) {
      return RegistryStatus::kInvalidName;
    }
    if (!part.empty()) {
      parts.push_back(part);
    }
    start = end + 1;
  }
  return RegistryStatus::kOk;
}

// A symbolic link is never a key, so nothing below the root leads out of it.
bool is_directory(const std::string& path) noexcept {
  struct stat status {};
  return syscalls().lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Every entry name of directory but "." and "..".
RegistryStatus list_entries(const std::string& directory, std::vector<std::string>& names) {
  const posix::UniqueDir dir(syscalls().opendir(directory.c_str()));
  if (dir == nullptr) {
    return posix::registry_status_of(errno);
  }
  for (;;) {
    errno = 0;
    const dirent* entry = syscalls().readdir(dir.get());
    if (entry == nullptr) {
      return errno == 0 ? RegistryStatus::kOk : RegistryStatus::kFailed;
    }
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
      names.emplace_back(entry->d_name);
    }
  }
}

RegistryStatus list_subkeys(const std::string& directory, std::vector<std::string>& names) {
  const RegistryStatus status = list_entries(directory, names);
  std::erase_if(names, [&](const std::string& name) {
    return !posix::is_key_entry_name(name) || !is_directory(directory + "/" + name);
  });
  return status;
}

// The subkey directory of directory named name in any case; an exact match
// first, else the first match in byte order so that the choice is stable.
RegistryStatus find_subkey(const std::string& directory, std::string_view name,
                           std::string& found) {
  std::string exact = directory + "/" + std::string(name);
  if (is_directory(exact)) {
    found = std::move(exact);
    return RegistryStatus::kOk;
  }
  std::vector<std::string> names;
  const RegistryStatus status = list_subkeys(directory, names);
  std::erase_if(names, [&](const std::string& n) { return !posix::equal_ignoring_case(n, name); });
  if (status != RegistryStatus::kOk || names.empty()) {
    return status != RegistryStatus::kOk ? status : RegistryStatus::kNotFound;
  }
  found = directory + "/" + *std::min_element(names.begin(), names.end());
  return RegistryStatus::kOk;
}

// The umask may have taken bits away; the key's mode is applied exactly,
// through a descriptor of the directory just made, never through a link.
RegistryStatus apply_key_mode(const std::string& path) noexcept {
  const posix::UniqueFd fd(
      syscalls().open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC, 0));
  if (!fd || syscalls().fchmod(fd.get(), posix::kSharedDirectoryMode) != 0) {
    return posix::registry_status_of(errno);
  }
  return RegistryStatus::kOk;
}

// Under the parent's lock, so that two processes creating "A" and "a" at
// once end up with one key.
RegistryStatus create_subkey(const std::string& directory, std::string_view name,
                             std::string& found) {
  const DirectoryLock lock(directory.c_str());
  if (!lock.held()) {
    return posix::registry_status_of(errno);
  }
  RegistryStatus status = find_subkey(directory, name, found);
  if (status != RegistryStatus::kNotFound) {
    return status;
  }
  std::string path = directory + "/" + std::string(name);
  if (syscalls().mkdir(path.c_str(), posix::kSharedDirectoryMode) != 0) {
    return posix::registry_status_of(errno);
  }
  status = apply_key_mode(path);
  if (status == RegistryStatus::kOk) {
    found = std::move(path);
  }
  return status;
}

bool root_exists(const std::string& root) noexcept {
  struct stat status {};
  return syscalls().stat(root.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The root is never created: like HKEY_LOCAL_MACHINE, it is there or the
// registry is not.
RegistryStatus resolve(std::string directory, std::string_view path, bool create,
                       std::string& found) {
  std::vector<std::string_view> parts;
  RegistryStatus status = split_key_path(path, parts);
  if (status == RegistryStatus::kOk && parts.empty() && !root_exists(directory)) {
    status = RegistryStatus::kNotFound;
  }
  for (const std::string_view part : parts) {
    if (status != RegistryStatus::kOk) {
      break;
    }
    std::string next;
    status = create ? create_subkey(directory, part, next) : find_subkey(directory, part, next);
    directory = std::move(next);
  }
  found = std::move(directory);
  return status;
}

RegistryStatus open_key(std::string_view path, bool create, bool writable, RegistryKeyPtr& key) {
  std::string directory;
  const RegistryStatus status = resolve(registry_root(), path, create, directory);
  if (status == RegistryStatus::kOk) {
    key.reset(new RegistryKey(std::move(directory), writable));
  }
  return status;
}

char ascii_lower(char c) noexcept {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Without case first, then byte order, so that the order is total.
bool less_ignoring_case(const std::string& a, const std::string& b) noexcept {
  const auto lower_less = [](char x, char y) {
    return static_cast<unsigned char>(ascii_lower(x)) < static_cast<unsigned char>(ascii_lower(y));
  };
  if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), lower_less)) {
    return true;
  }
  return !std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), lower_less) && a < b;
}

bool remove_tree(const std::string& path) {
  std::vector<std::string> names;
  bool removed = list_entries(path, names) == RegistryStatus::kOk;
  for (const std::string& name : names) {
    const std::string child = path + "/" + name;
    removed = (is_directory(child) ? remove_tree(child) : syscalls().unlink(child.c_str()) == 0) &&
              removed;
  }
  return syscalls().rmdir(path.c_str()) == 0 && removed;
}

}  // namespace

namespace posix {

bool is_key_entry_name(std::string_view name) noexcept {
  return name != "." && name != ".." && name.find('\\') == std::string_view::npos;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) noexcept {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return ascii_lower(x) == ascii_lower(y); });
}

}  // namespace posix

RegistryStatus open_registry_key(std::string_view path, RegistryAccess access,
                                 RegistryKeyPtr& key) {
  return open_key(path, false, access == RegistryAccess::kAll, key);
}

RegistryStatus create_registry_key(std::string_view path, RegistryKeyPtr& key) {
  return open_key(path, true, true, key);
}

bool registry_key_writable(const RegistryKey& key) noexcept { return key.writable(); }

RegistryStatus enum_registry_subkey(const RegistryKey& key, std::uint32_t index, char* name,
                                    std::uint32_t& length) {
  std::vector<std::string> names;
  const RegistryStatus status = list_subkeys(key.directory(), names);
  if (status != RegistryStatus::kOk) {
    return status;
  }
  if (index >= names.size()) {
    return RegistryStatus::kNoMoreItems;
  }
  std::nth_element(names.begin(), names.begin() + index, names.end(), less_ignoring_case);
  const std::string& found = names[index];
  if (found.size() >= length) {
    return RegistryStatus::kMoreData;
  }
  std::memcpy(name, found.c_str(), found.size() + 1);
  length = static_cast<std::uint32_t>(found.size());
  return RegistryStatus::kOk;
}

// The tree is first renamed to a name no key can have, so that it vanishes
// in one step and no reader ever sees it half deleted.
RegistryStatus delete_registry_tree(const RegistryKey& key, std::string_view subkey) {
  static std::atomic<unsigned> deletions{0};
  if (!key.writable()) {
    return RegistryStatus::kAccessDenied;
  }
  std::string tree;
  const RegistryStatus status = resolve(key.directory(), subkey, false, tree);
  if (status != RegistryStatus::kOk || tree == key.directory()) {
    return status != RegistryStatus::kOk ? status : RegistryStatus::kInvalidName;
  }
  const std::string hidden = tree.substr(0, tree.rfind('/') + 1) + posix::kDeletedPrefix +
                             std::to_string(getpid()) + "." + std::to_string(++deletions);
  if (syscalls().rename(tree.c_str(), hidden.c_str()) != 0) {
    return posix::registry_status_of(errno);
  }
  return remove_tree(hidden) ? RegistryStatus::kOk : RegistryStatus::kFailed;
}

}  // namespace xoltlog::platform
