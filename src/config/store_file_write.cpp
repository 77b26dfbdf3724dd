// The file backend's writing side. The store file is never edited in place:
// under the advisory lock of its directory, which every rewriter takes, the
// current file is copied, changed, into "<file>.tmp", which is synced and
// then moved over the store file in one step. Readers and other writers so
// see one complete version or the next, and a failure leaves the store file
// as it was and no temporary file behind.
#include <chrono>
#include <cstring>
#include <thread>

#include "config/store_file.h"
#include "config/store_lines.h"
#include "platform/file_primitives.h"
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

// "<store>.tmp", deleted again unless it replaced the store file.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string_view store) : path_(std::string(store) + ".tmp") {}
  ~TemporaryFile() {
    stream_.reset();
    if (created_ && !replaced_) {
      platform::file_delete(path_.c_str());
    }
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // A file left by a rewrite that died is removed first.
  bool create() noexcept {
    platform::file_delete(path_.c_str());
    stream_ = platform::create_write_stream(path_.c_str());
    created_ = stream_ != nullptr;
    return created_;
  }

  void write_line(std::string_view line) noexcept {
    written_ = written_ && std::fwrite(line.data(), 1, line.size(), stream_.get()) == line.size() &&
               std::fputc('\n', stream_.get()) != EOF;
  }

  // Syncs, closes and moves the file over target, trying again while
  // access is denied: 0, 6, or 10 after the last attempt.
  std::uint32_t replace(const char* target) noexcept {
    const bool synced = written_ && platform::sync_stream(stream_.get());
    if (std::fclose(stream_.release()) != 0 || !synced) {
      return XOLTLOG_STORE_E_WRITE;
    }
    for (int attempt = 1;; ++attempt) {
      const platform::ReplaceStatus status = platform::replace_file(path_.c_str(), target);
      if (status == platform::ReplaceStatus::kOk) {
        replaced_ = true;
        return XOLTLOG_STORE_OK;
      }
      if (status == platform::ReplaceStatus::kFailed || attempt == kReplaceAttempts) {
        return status == platform::ReplaceStatus::kFailed ? XOLTLOG_STORE_E_WRITE
                                                          : XOLTLOG_STORE_E_REPLACE;
      }
      std::this_thread::sleep_for(kReplacePause);
    }
  }

 private:
  std::string path_;
  platform::StreamPtr stream_;
  bool created_ = false;
  bool replaced_ = false;
  bool written_ = true;
};

// One rewrite of the handle's store file, from the version current under
// the lock, so that two processes writing different properties keep both.
class StoreRewrite {
 public:
  explicit StoreRewrite(XoltLogPropertyStore& handle)
      : handle_(handle),
        lock_(store_directory(handle.file.file_name).c_str()),
        temporary_(handle.file.file_name) {}

  // 0; 2 for a closed handle or a store file that cannot be opened; 5
  // without the lock or the temporary file.
  std::uint32_t begin() noexcept {
    if (stream_of(handle_) == nullptr) {
      return XOLTLOG_STORE_E_OPEN;
    }
    if (!lock_.held()) {
      return XOLTLOG_STORE_E_CREATE;
    }
    platform::StreamPtr current = platform::open_read_stream(handle_.file.file_name);
    if (current == nullptr) {
      return XOLTLOG_STORE_E_OPEN;
    }
    set_stream(handle_, std::move(current));
    if (!temporary_.create()) {
      return XOLTLOG_STORE_E_CREATE;
    }
    reader_.emplace(stream_of(handle_));
    return XOLTLOG_STORE_OK;
  }

  std::optional<std::string_view> next_line() noexcept { return reader_->next(); }
  void write_line(std::string_view line) noexcept { temporary_.write_line(line); }

  // Replaces the store file and reopens the handle's stream on it.
  std::uint32_t commit() noexcept {
    if (reader_->failed()) {
      return XOLTLOG_STORE_E_WRITE;
    }
    const std::uint32_t result = temporary_.replace(handle_.file.file_name);
    if (result != XOLTLOG_STORE_OK) {
      return result;
    }
    set_stream(handle_, platform::open_read_stream(handle_.file.file_name));
    return stream_of(handle_) != nullptr ? XOLTLOG_STORE_OK : XOLTLOG_STORE_E_OPEN;
  }

  bool read_failed() const noexcept { return reader_->failed(); }

 private:
  XoltLogPropertyStore& handle_;
  platform::DirectoryLock lock_;
  TemporaryFile temporary_;
  std::optional<LineReader> reader_;
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

bool write_new_store(const char* location) noexcept {
  TemporaryFile temporary(location);
  if (!temporary.create()) {
    return false;
  }
  for (const std::string_view line : kNewStoreLines) {
    temporary.write_line(line);
  }
  return temporary.replace(location) == XOLTLOG_STORE_OK;
}

}  // namespace

std::uint32_t file_store_create(const char* location, const char* section,
                                XoltLogPropertyStore& handle) {
  const std::string directory = store_directory(location);
  if (std::strchr(location, '/') != nullptr &&
      platform::make_directories(directory.c_str(), nullptr) != 0) {
    return XOLTLOG_E_CFG_STORE;
  }
  const platform::DirectoryLock lock(directory.c_str());
  if (!lock.held() || strnlen(location, XOLTLOG_STORE_TEXT_SIZE) >= XOLTLOG_STORE_TEXT_SIZE ||
      strnlen(section, XOLTLOG_STORE_TEXT_SIZE) >= XOLTLOG_STORE_TEXT_SIZE) {
    return XOLTLOG_E_CFG_STORE;
  }
  // Another process may have created the store while this one waited.
  if (file_store_open(location, section, handle) == XOLTLOG_STORE_OK) {
    return XOLTLOG_OK;
  }
  if (!write_new_store(location)) {
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
