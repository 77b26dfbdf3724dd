// The file backend's writing side. The store file is never edited in place:
// under the advisory lock of its directory, which every rewriter takes, the
// current file is copied, changed, into "<file>.tmp", which gets the store
// file's permissions and owner, is synced and then moved over the store
// file in one step. Readers and other writers so see one complete version
// or the next, and a failure leaves the store file as it was and no
// temporary file behind.
#include <chrono>
#include <cstring>
#include <thread>

#include "config/store_file.h"
#include "config/store_lines.h"
#include "platform/file_path.h"
#include "platform/file_primitives.h"
#include "platform/file_replace.h"
#include "xoltlog/property_store.h"
#include "xoltlog/result.h"

namespace xoltlog {
namespace {

constexpr int kReplaceAttempts = 5;
constexpr auto kReplacePause = std::chrono::milliseconds(10);
constexpr std::string_view kCommentRule = "###############################################";
constexpr std::string_view kNewStoreLines[] = {
    kCommentRule,
    "# Caution! Do not update/modify file by hand. ",
    "# Use zqlogcfg tool to update/modify this file",
    kCommentRule,
};

// Moves a finished replacement over the store file, trying again while
// access is denied: 0, 6, or 10 after the last attempt.
std::uint32_t replace_store(platform::FileReplacement& replacement) noexcept {
  if (!replacement.finish()) {
    return XOLTLOG_STORE_E_WRITE;
  }
  for (int attempt = 1;; ++attempt) {
    const platform::ReplaceStatus status = replacement.replace();
    if (status == platform::ReplaceStatus::kOk) {
      return XOLTLOG_STORE_OK;
    }
    if (status == platform::ReplaceStatus::kFailed || attempt == kReplaceAttempts) {
      return status == platform::ReplaceStatus::kFailed ? XOLTLOG_STORE_E_WRITE
                                                        : XOLTLOG_STORE_E_REPLACE;
    }
    std::this_thread::sleep_for(kReplacePause);
  }
}

bool write_line(platform::FileReplacement& replacement, std::string_view line) noexcept {
  return replacement.write(line) && replacement.write("\n");
}

// One rewrite of the handle's store file, from the version current under
// the lock, so that two processes writing different properties keep both.
// A store file reached through a symbolic link is rewritten where the link
// leads, and the link stays.
class StoreRewrite {
 public:
  explicit StoreRewrite(XoltLogPropertyStore& handle)
      : handle_(handle),
        replacement_(handle.file.file_name, platform::LinkPolicy::kFollow),
        lock_(replacement_.directory().c_str()) {}

  // 0; 2 for a closed handle or a store file that cannot be opened; 5
  // without the lock or the temporary file.
  std::uint32_t begin() {
    if (stream_of(handle_) == nullptr) {
      return XOLTLOG_STORE_E_OPEN;
    }
    if (!lock_.held()) {
      return XOLTLOG_STORE_E_CREATE;
    }
    if (!platform::reopen_line_file(*stream_of(handle_), replacement_.target().c_str())) {
      return XOLTLOG_STORE_E_OPEN;
    }
    return replacement_.create() ? XOLTLOG_STORE_OK : XOLTLOG_STORE_E_CREATE;
  }

  std::optional<std::string_view> next_line() { return platform::read_line(*stream_of(handle_)); }
  void write_line(std::string_view line) noexcept { xoltlog::write_line(replacement_, line); }
  bool read_failed() const noexcept { return platform::read_failed(*stream_of(handle_)); }

  // Replaces the store file and reopens the handle's stream on it.
  std::uint32_t commit() {
    if (read_failed()) {
      return XOLTLOG_STORE_E_WRITE;
    }
    const std::uint32_t result = replace_store(replacement_);
    if (result != XOLTLOG_STORE_OK) {
      return result;
    }
    if (!platform::reopen_line_file(*stream_of(handle_), handle_.file.file_name)) {
      set_stream(handle_, nullptr);
      return XOLTLOG_STORE_E_OPEN;
    }
    return XOLTLOG_STORE_OK;
  }

 private:
  XoltLogPropertyStore& handle_;
  platform::FileReplacement replacement_;
  platform::DirectoryLock lock_;
};

// With an empty section text every line of the key is replaced; a key that
// is not there yet goes to the end.
void copy_setting_without_section(StoreRewrite& rewrite, std::string_view key,
                                  std::string_view new_line) {
  bool written = false;
  while (const std::optional<std::string_view> line = rewrite.next_line()) {
    const bool replaced = line_has_key(*line, key);
    rewrite.write_line(replaced ? new_line : *line);
    written = written || replaced;
  }
  if (!written) {
    rewrite.write_line(new_line);
  }
}

// Changes the property in place, or puts it behind the last line of its
// section, or at the end of the file for a new section. A section ends at
// the first line of another section text, so that "12" and the logset
// "LOGSET.12" stay apart.
void copy_setting(StoreRewrite& rewrite, std::string_view section, std::string_view key,
                  std::string_view new_line) {
  bool written = false;
  bool inside = false;
  while (const std::optional<std::string_view> line = rewrite.next_line()) {
    if (!written) {
      const bool in_section = line_in_section(*line, section, kWriteDelimiters);
      if (in_section && line_has_key(*line, key)) {
        rewrite.write_line(new_line);
        written = true;
        continue;
      }
      if (!in_section && inside) {
        rewrite.write_line(new_line);
        written = true;
      }
      inside = inside || in_section;
    }
    rewrite.write_line(*line);
  }
  if (!written) {
    rewrite.write_line(new_line);
  }
}

// Leaves out the lines for which drop is true; false when there were none.
template <typename Drop>
bool copy_without(StoreRewrite& rewrite, Drop&& drop) {
  bool dropped = false;
  while (const std::optional<std::string_view> line = rewrite.next_line()) {
    if (drop(*line)) {
      dropped = true;
    } else {
      rewrite.write_line(*line);
    }
  }
  return dropped;
}

bool write_new_store(platform::FileReplacement& replacement) noexcept {
  if (!replacement.create()) {
    return false;
  }
  for (const std::string_view line : kNewStoreLines) {
    write_line(replacement, line);
  }
  return replace_store(replacement) == XOLTLOG_STORE_OK;
}

}  // namespace

std::uint32_t file_store_create(const char* location, const char* section,
                                XoltLogPropertyStore& handle) {
  if (std::strchr(location, platform::path_separator()) != nullptr &&
      platform::make_directories(platform::directory_of(location).c_str(), nullptr) != 0) {
    return XOLTLOG_E_CFG_STORE;
  }
  platform::FileReplacement replacement(location, platform::LinkPolicy::kFollow);
  const platform::DirectoryLock lock(replacement.directory().c_str());
  if (!lock.held() || strnlen(location, XOLTLOG_STORE_TEXT_SIZE) >= XOLTLOG_STORE_TEXT_SIZE ||
      strnlen(section, XOLTLOG_STORE_TEXT_SIZE) >= XOLTLOG_STORE_TEXT_SIZE) {
    return XOLTLOG_E_CFG_STORE;
  }
  // Another process may have created the store while this one waited.
  if (file_store_open(location, section, handle) == XOLTLOG_STORE_OK) {
    return XOLTLOG_OK;
  }
  if (!write_new_store(replacement)) {
    return XOLTLOG_E_CFG_STORE;
  }
  return file_store_open(location, section, handle) == XOLTLOG_STORE_OK ? XOLTLOG_OK
                                                                        : XOLTLOG_E_CFG_STORE;
}

std::uint32_t file_store_set(XoltLogPropertyStore& handle, std::string_view name,
                             std::string_view value) {
  const std::string_view section = handle.file.section;
  if (!is_writable_property(section, name, value)) {
    return XOLTLOG_STORE_E_PROPERTY;
  }
  const std::string key = property_key(section, name);
  const std::string new_line = key + "=" + std::string(value);
  StoreRewrite rewrite(handle);
  const std::uint32_t result = rewrite.begin();
  if (result != XOLTLOG_STORE_OK) {
    return result;
  }
  if (section.empty()) {
    copy_setting_without_section(rewrite, key, new_line);
  } else {
    copy_setting(rewrite, section, key, new_line);
  }
  return rewrite.commit();
}

std::uint32_t file_store_remove(XoltLogPropertyStore& handle, std::string_view name) {
  const std::string key = property_key(handle.file.section, name);
  StoreRewrite rewrite(handle);
  const std::uint32_t result = rewrite.begin();
  if (result != XOLTLOG_STORE_OK) {
    return result;
  }
  if (!copy_without(rewrite, [&](std::string_view line) { return line_has_key(line, key); })) {
    return rewrite.read_failed() ? XOLTLOG_STORE_E_WRITE : XOLTLOG_STORE_OK;
  }
  return rewrite.commit();
}

std::uint32_t file_store_remove_section(XoltLogPropertyStore& handle, std::string_view name) {
  StoreRewrite rewrite(handle);
  const std::uint32_t result = rewrite.begin();
  if (result != XOLTLOG_STORE_OK) {
    return result;
  }
  if (!copy_without(rewrite, [&](std::string_view line) {
        return line_in_section(line, name, kRemovalDelimiters);
      })) {
    return rewrite.read_failed() ? XOLTLOG_STORE_E_WRITE : XOLTLOG_STORE_E_NO_SECTION;
  }
  return rewrite.commit();
}

}  // namespace xoltlog
