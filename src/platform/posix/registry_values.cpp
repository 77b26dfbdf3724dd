// Registry values of the POSIX stand-in. A key's values live in one file of
// length-prefixed records, so that a value may hold any bytes, line feeds
// and NULs included:
//
//   "xoltlog registry values 1\n", then per value
//   "<type> <name bytes> <data bytes>\n" <name> <data> "\n"
//
// The file is only ever replaced whole (see write_values_file), so a reader
// needs no lock; a damaged file is reported, never read past its end.
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_replace.h"
#include "platform/posix/registry_key.h"
#include "platform/posix/syscalls.h"
#include "platform/posix/unique_fd.h"
#include "platform/registry.h"

namespace xoltlog::platform {
namespace {

using posix::syscalls;

constexpr std::string_view kMagic = "xoltlog registry values 1\n";
// The limits of the Windows registry, so that nothing stored here could not
// be stored there; they also bound what a damaged file can make us allocate.
constexpr std::size_t kMaxNameSize = 16383;
constexpr std::size_t kMaxDataSize = 1u << 20;
constexpr off_t kMaxFileSize = 64 << 20;

std::string encode(const ValueSet& values) {
  std::string bytes(kMagic);
  for (const StoredValue& value : values) {
    bytes += std::to_string(value.type) + ' ' + std::to_string(value.name.size()) + ' ' +
             std::to_string(value.data.size()) + '\n';
    bytes += value.name;
    bytes += value.data;
    bytes += '\n';
  }
  return bytes;
}

// One decimal number followed by end; false when there is none.
bool take_number(std::string_view& in, char end, std::size_t& number) noexcept {
  const char* last = in.data() + in.size();
  const auto [stop, error] = std::from_chars(in.data(), last, number);
  if (error != std::errc() || stop == last || *stop != end) {
    return false;
  }
  in.remove_prefix(static_cast<std::size_t>(stop - in.data()) + 1);
  return true;
}

bool decode(std::string_view in, ValueSet& values) {
  // An empty file holds no values; any other file must be whole.
  if (in.empty()) {
    return true;
  }
  if (!in.starts_with(kMagic)) {
    return false;
  }
  in.remove_prefix(kMagic.size());
  while (!in.empty()) {
    std::size_t type = 0;
    std::size_t name_size = 0;
    std::size_t data_size = 0;
    if (!take_number(in, ' ', type) || !take_number(in, ' ', name_size) ||
        !take_number(in, '\n', data_size) || type > std::numeric_limits<std::uint32_t>::max() ||
        name_size > in.size() || data_size >= in.size() - name_size ||
        in[name_size + data_size] != '\n') {
      return false;
    }
    values.push_back({std::string(in.substr(0, name_size)), static_cast<std::uint32_t>(type),
                      std::string(in.substr(name_size, data_size))});
    in.remove_prefix(name_size + data_size + 1);
  }
  return true;
}

RegistryStatus read_all(int fd, std::string& bytes, struct stat& status) {
  if (syscalls().fstat(fd, &status) != 0 || status.st_size > kMaxFileSize) {
    return RegistryStatus::kFailed;
  }
  bytes.resize(static_cast<std::size_t>(status.st_size));
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t count = syscalls().read(fd, bytes.data() + done, bytes.size() - done);
    if (count <= 0 && !(count < 0 && errno == EINTR)) {
      return RegistryStatus::kFailed;
    }
    done += count > 0 ? static_cast<std::size_t>(count) : 0;
  }
  return RegistryStatus::kOk;
}

std::int64_t changed_ns(const struct stat& status) noexcept {
  return static_cast<std::int64_t>(status.st_ctim.tv_sec) * 1000000000 + status.st_ctim.tv_nsec;
}

void note_file(KeptValues& kept, const struct stat& status) noexcept {
  kept.device = status.st_dev;
  kept.inode = status.st_ino;
  kept.size = status.st_size;
  kept.changed_ns = changed_ns(status);
}

bool same_file(const KeptValues& kept, const struct stat& status) noexcept {
  return status.st_dev == kept.device && status.st_ino == kept.inode &&
         status.st_size == kept.size && changed_ns(status) == kept.changed_ns;
}

// The values the key kept, when the values file it read them from still
// stands under its name; null otherwise.
ValueSet* current_values(const RegistryKey& key) {
  std::optional<KeptValues>& kept = key.kept_values();
  struct stat status {};
  const std::string path = key.directory() + "/" + posix::kValuesFile;
  if (!kept || kept->inode == 0 || syscalls().lstat(path.c_str(), &status) != 0 ||
      !same_file(*kept, status)) {
    return nullptr;
  }
  return &kept->values;
}

// A key without a values file has no values. The file read is named in
// read_from (an inode of 0 when there was none).
RegistryStatus read_values(const RegistryKey& key, ValueSet& values,
                           KeptValues* read_from = nullptr) {
  const std::string path = key.directory() + "/" + posix::kValuesFile;
  // A link in the values file's place is nobody's values.
  const posix::UniqueFd fd(syscalls().open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC, 0));
  if (!fd) {
    return errno == ENOENT ? RegistryStatus::kOk : posix::registry_status_of(errno);
  }
  std::string bytes;
  struct stat status {};
  if (const RegistryStatus read = read_all(fd.get(), bytes, status); read != RegistryStatus::kOk) {
    return read;
  }
  if (read_from != nullptr) {
    note_file(*read_from, status);
  }
  return decode(bytes, values) ? RegistryStatus::kOk : RegistryStatus::kFailed;
}

ValueSet::iterator find_value(ValueSet& values, std::string_view name) noexcept {
  return std::find_if(values.begin(), values.end(), [&](const StoredValue& value) {
    return posix::equal_ignoring_case(value.name, name);
  });
}

// Reads, changes and writes back a key's values under the key's lock, so
// that two processes changing one key never lose each other's change.
// change returns kOk when there is something to write.
template <typename Change>
RegistryStatus update_values(const RegistryKey& key, Change&& change) {
  if (!key.writable()) {
    return RegistryStatus::kAccessDenied;
  }
  const DirectoryLock lock(key.directory().c_str());
  if (!lock.held()) {
    return posix::registry_status_of(errno);
  }
  ValueSet values;
  RegistryStatus status = read_values(key, values);
  if (status == RegistryStatus::kOk) {
    status = change(values);
  }
  return status == RegistryStatus::kOk ? posix::write_values_file(key.directory(), encode(values))
                                       : status;
}

}  // namespace

RegistryStatus query_registry_value(const RegistryKey& key, std::string_view name,
                                    RegistryValue& value) {
  ValueSet* kept = current_values(key);
  if (kept == nullptr) {
    KeptValues fresh;
    if (const RegistryStatus status = read_values(key, fresh.values, &fresh);
        status != RegistryStatus::kOk) {
      return status;
    }
    kept = &(key.kept_values() = std::move(fresh))->values;
  }
  ValueSet& values = *kept;
  const auto found = find_value(values, name);
  if (found == values.end()) {
    return RegistryStatus::kNotFound;
  }
  auto data = std::make_unique<unsigned char[]>(found->data.size() + 1);
  std::memcpy(data.get(), found->data.data(), found->data.size());
  data.get()[found->data.size()] = 0;
  value.type = found->type;
  value.size = static_cast<std::uint32_t>(found->data.size());
  value.data = std::move(data);
  return RegistryStatus::kOk;
}

RegistryStatus set_registry_value(const RegistryKey& key, std::string_view name, std::uint32_t type,
                                  const void* data, std::uint32_t size) {
  if (name.size() > kMaxNameSize || size > kMaxDataSize) {
    return RegistryStatus::kFailed;
  }
  const std::string bytes =
      size == 0 ? std::string() : std::string(static_cast<const char*>(data), size);
  return update_values(key, [&](ValueSet& values) {
    const auto found = find_value(values, name);
    if (found == values.end()) {
      values.push_back({std::string(name), type, bytes});
    } else {
      found->type = type;
      found->data = bytes;
    }
    return RegistryStatus::kOk;
  });
}

RegistryStatus delete_registry_value(const RegistryKey& key, std::string_view name) {
  return update_values(key, [&](ValueSet& values) {
    const auto found = find_value(values, name);
    if (found == values.end()) {
      return RegistryStatus::kNotFound;
    }
    values.erase(found);
    return RegistryStatus::kOk;
  });
}

}  // namespace xoltlog::platform
