#include "config/accessors.h"

#include <cstring>
#include <utility>

#include "config/record.h"
#include "platform/heap.h"
#include "platform/file_path.h"

namespace xoltlog {
namespace {

// The log directory with doubled separators folded and a trailing one, into
// out (capacity bytes); false when it does not fit.
bool fold_directory(const char* directory, char* out, std::size_t capacity) noexcept {
  const char kSeparator = platform::path_separator();
  std::size_t length = 0;
  for (const char* c = directory; *c != '\0'; ++c) {
    if (length + 1 >= capacity) {
      return false;
    }
    out[length++] = *c;
    if (c[0] == kSeparator && c[1] == kSeparator) {
      ++c;  // the pair becomes one separator; a third one starts a new pair
    }
  }
  if (out[length - 1] != kSeparator) {
    if (length + 1 >= capacity) {
      return false;
    }
    out[length++] = kSeparator;
  }
  out[length] = '\0';
  return true;
}

}  // namespace

std::uint32_t set_owned_text(const LibraryLockGuard&, XoltLogCfg& cfg, char*& field,
                             const char* value, std::uint32_t bit, bool allow_empty) noexcept {
  if (value == nullptr || (!allow_empty && *value == '\0')) {
    return XOLTLOG_E_INVALID_ARG;
  }
  release(field);
  field = duplicate_string(value);
  cfg.change_mask |= bit;
  return field != nullptr ? XOLTLOG_OK : XOLTLOG_E_NO_MEMORY;
}

std::uint32_t get_owned_text(const LibraryLockGuard&, const char* field, char** out) noexcept {
  *out = nullptr;
  if (field == nullptr) {
    return XOLTLOG_OK;
  }
  *out = duplicate_string(field);
  return *out != nullptr ? XOLTLOG_OK : XOLTLOG_E_NO_MEMORY;
}

std::uint32_t set_directory(const LibraryLockGuard&, XoltLogCfg& cfg, const char* directory,
                            char* destination) noexcept {
  if (directory == nullptr || *directory == '\0') {
    return XOLTLOG_E_INVALID_ARG;
  }
  char* const field = cfg.log_directory;
  char* const field_end = field + sizeof cfg.log_directory;
  // Compared as addresses: a destination elsewhere would be written outside
  // the record.
  const auto at = reinterpret_cast<std::uintptr_t>(destination != nullptr ? destination : field);
  if (at < reinterpret_cast<std::uintptr_t>(field) ||
      at >= reinterpret_cast<std::uintptr_t>(field_end)) {
    return XOLTLOG_E_INVALID_ARG;
  }
  char* const target = destination != nullptr ? destination : field;
  char folded[sizeof cfg.log_directory];
  if (!fold_directory(directory, folded, static_cast<std::size_t>(field_end - target))) {
    return XOLTLOG_E_INVALID_ARG;
  }
  std::memcpy(target, folded, std::strlen(folded) + 1);
  cfg.change_mask |= XOLTLOG_CFG_MASK_DIRECTORY;
  return XOLTLOG_OK;
}

std::uint32_t set_event_source(const LibraryLockGuard&, XoltLogCfg& cfg,
                               const char* source) noexcept {
  if (source == nullptr || *source == '\0') {
    return XOLTLOG_E_INVALID_ARG;
  }
  const std::size_t length = strnlen(source, sizeof cfg.event_source.name - 1);
  std::memset(cfg.event_source.name, 0, sizeof cfg.event_source.name);
  std::memcpy(cfg.event_source.name, source, length);
  cfg.change_mask |= XOLTLOG_CFG_MASK_EVENT_SOURCE;
  return XOLTLOG_OK;
}

std::int32_t reset_event_source(const LibraryLockGuard&, XoltLogEventSource& setting,
                                const char* name) noexcept {
  if (name == nullptr) {
    return -3;
  }
  std::memset(&setting, 0, sizeof setting);
  std::memcpy(setting.name, name, strnlen(name, sizeof setting.name - 1));
  return 0;
}

void reset_event_source_to_default(const LibraryLockGuard& held,
                                   XoltLogEventSource& setting) noexcept {
  reset_event_source(held, setting, kDefaultEventSource);
}

void switch_flag(const LibraryLockGuard&, XoltLogCfg& cfg, std::uint32_t flag, bool on,
                 std::uint32_t mask) noexcept {
  cfg.flags = on ? cfg.flags | flag : cfg.flags & ~flag;
  cfg.change_mask |= mask;
}

char* append_rollover_mode_text(std::int32_t mode, char* buffer) noexcept {
  if (mode == 0) {
    return std::strcat(buffer, "None");
  }
  if ((mode & 1) != 0) {
    std::strcat(buffer, "FileSize");
  }
  for (const auto& [bit, name] : {std::pair{2, "LocalTime"}, std::pair{4, "Periodic"}}) {
    if ((mode & bit) != 0) {
      std::strcat(buffer, *buffer != '\0' ? " | " : "");
      std::strcat(buffer, name);
    }
  }
  return buffer;
}

std::int32_t rollover_mode_of_text(const char* text) noexcept {
  if (text == nullptr) {
    return 0;
  }
  std::int32_t mode = std::strstr(text, "FileSize") != nullptr ? 1 : 0;
  if (std::strstr(text, "LocalTime") != nullptr) {
    return mode | 2;
  }
  return std::strstr(text, "Periodic") != nullptr ? mode | 4 : mode;
}

}  // namespace xoltlog
