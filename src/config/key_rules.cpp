#include "config/key_rules.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "config/accessors.h"
#include "config/store_backend.h"
#include "config/store_typed.h"
#include "platform/heap.h"
#include "platform/absolute_path.h"

namespace xoltlog {
namespace {

constexpr std::uint32_t kMaxLevel = 6;
constexpr std::uint32_t kFirstNegativeInterval = 0x80000000u;
constexpr std::size_t kNamesLength = XOLTLOG_CFG_TEXT_SIZE - 1;

BlockPtr<char> text_value(const SectionRead& read, const char* key) {
  char* value = nullptr;
  if (store_get_text(read.store, key, &value) != XOLTLOG_STORE_OK) {
    release(value);
    return nullptr;
  }
  return BlockPtr<char>(value);
}

bool number_value(const SectionRead& read, const char* key, std::uint32_t& number) {
  return store_get_number(read.store, key, &number) == XOLTLOG_STORE_OK;
}

bool bool_value(const SectionRead& read, const char* key, bool& on) {
  std::uint32_t flag = 0;
  if (store_get_bool(read.store, key, &flag) != XOLTLOG_STORE_OK) {
    return false;
  }
  on = flag == 1;
  return true;
}

// A copy for the record that cannot be made is memory running out, not a
// refused value: it ends the read.
void set_text(SectionRead& read, char*& field, const char* value, std::uint32_t bit,
              bool allow_empty) {
  if (set_owned_text(read.held, read.cfg, field, value, bit, allow_empty) ==
      XOLTLOG_E_NO_MEMORY) {
    throw std::bad_alloc();
  }
}

bool read_directory(SectionRead& read, const char* key) {
  const BlockPtr<char> value = text_value(read, key);
  if (value == nullptr) {
    return false;
  }
  char* const field = read.cfg.log_directory;
  // A relative directory names one below the directory inherited so far.
  char* const destination = read.defaults_section || platform::is_absolute_path(value.get())
                                ? nullptr
                                : field + strnlen(field, sizeof read.cfg.log_directory - 1);
  set_directory(read.held, read.cfg, value.get(), destination);
  return true;
}

bool read_oid_names(SectionRead& read, const char* key) {
  const BlockPtr<char> value = text_value(read, key);
  if (value == nullptr) {
    return false;
  }
  if (*value != '\0') {
    char* const names = read.cfg.originator_names;
    std::strncpy(names, value.get(), kNamesLength);
    names[kNamesLength] = '\0';
  }
  return true;
}

template <char* XoltLogCfg::*Field, std::uint32_t Bit, bool AllowEmpty>
bool read_owned_text(SectionRead& read, const char* key) {
  const BlockPtr<char> value = text_value(read, key);
  if (value == nullptr) {
    return false;
  }
  if (AllowEmpty || *value != '\0') {
    set_text(read, read.cfg.*Field, value.get(), Bit, AllowEmpty);
  }
  return true;
}

template <std::uint32_t XoltLogCfg::*Field>
bool read_level(SectionRead& read, const char* key) {
  std::uint32_t level = 0;
  if (!number_value(read, key, level)) {
    return false;
  }
  if (level <= kMaxLevel) {
    read.cfg.*Field = level;
  }
  return true;
}

bool read_reload_interval(SectionRead& read, const char* key) {
  std::uint32_t seconds = 0;
  if (!number_value(read, key, seconds)) {
    return false;
  }
  if (seconds < kFirstNegativeInterval) {
    read.cfg.reload_interval = seconds;
  }
  return true;
}

template <std::uint32_t Flag, std::uint32_t Bit>
bool read_flag(SectionRead& read, const char* key) {
  bool on = false;
  if (!bool_value(read, key, on)) {
    return false;
  }
  switch_flag(read.held, read.cfg, Flag, on, Bit);
  return true;
}

bool read_app_msg_logging(SectionRead& read, const char* key) {
  const BlockPtr<char> value = text_value(read, key);
  if (value == nullptr) {
    return false;
  }
  read.cfg.app_msg_logging = std::strcmp(value.get(), "ON") == 0 ? 1 : 0;
  return true;
}

bool read_rollover_mode(SectionRead& read, const char* key) {
  const BlockPtr<char> value = text_value(read, key);
  if (value == nullptr) {
    return false;
  }
  read.cfg.rollover_mode = static_cast<std::uint32_t>(rollover_mode_of_text(value.get()));
  return true;
}

bool read_recycle(SectionRead& read, const char* key) {
  bool on = false;
  if (!bool_value(read, key, on)) {
    return false;
  }
  read.cfg.log_recycle = on ? 1 : 0;
  return true;
}

// The numeric keys for which 0 means nothing and is skipped.
template <typename Field, Field XoltLogCfg::*Member>
bool read_nonzero(SectionRead& read, const char* key) {
  std::uint32_t number = 0;
  if (!number_value(read, key, number)) {
    return false;
  }
  if (number != 0) {
    read.cfg.*Member = number;
  }
  return true;
}

bool read_rollover_time(SectionRead& read, const char* key) {
  const BlockPtr<char> value = text_value(read, key);
  std::int64_t seconds = 0;
  if (value == nullptr || !parse_time_of_day(value.get(), seconds)) {
    return false;
  }
  read.cfg.rollover_time = seconds;
  return true;
}

bool read_event_source(SectionRead& read, const char* key) {
  const BlockPtr<char> value = text_value(read, key);
  if (value == nullptr) {
    return false;
  }
  set_event_source(read.held, read.cfg, value.get());  // an empty name is refused
  return true;
}

bool read_event_category(SectionRead& read, const char* key) {
  std::uint32_t number = 0;
  if (!number_value(read, key, number)) {
    return false;
  }
  if (const auto category = static_cast<std::uint16_t>(number); category != 0) {
    read.cfg.event_source.category = category;
  }
  return true;
}

using KeyReader = bool (*)(SectionRead&, const char*);

struct KeyRule {
  ConfigKey key;
  const char* name;
  KeyReader reader;
};

// In the order of ConfigKey, which the table's users index by.
constexpr KeyRule kRules[] = {
    {ConfigKey::kLogDirectory, "LogDirectory", read_directory},
    {ConfigKey::kOidNames, "OIDNames", read_oid_names},
    {ConfigKey::kL10nLib, "L10nLib",
     read_owned_text<&XoltLogCfg::l10n_lib, XOLTLOG_CFG_MASK_L10N_LIB, false>},
    {ConfigKey::kL10nResource, "L10nResource",
     read_owned_text<&XoltLogCfg::l10n_resource, XOLTLOG_CFG_MASK_L10N_RESOURCE, false>},
    {ConfigKey::kL10nResourceDir, "L10nResourceDir",
     read_owned_text<&XoltLogCfg::l10n_resource_dir, XOLTLOG_CFG_MASK_L10N_RESOURCE_DIR, false>},
    {ConfigKey::kDebugLevel, "DebugLevel", read_level<&XoltLogCfg::debug_level>},
    {ConfigKey::kDiagnosticLevel, "DiagnosticLevel", read_level<&XoltLogCfg::diag_level>},
    {ConfigKey::kDynaReloadInSec, "DynaReloadInSec", read_reload_interval},
    {ConfigKey::kLogToStdout, "LogToStdout",
     read_flag<XOLTLOG_CFG_LOG_TO_STDOUT, XOLTLOG_CFG_MASK_LOG_TO_STDOUT>},
    {ConfigKey::kLogToStderr, "LogToStderr",
     read_flag<XOLTLOG_CFG_LOG_TO_STDERR, XOLTLOG_CFG_MASK_LOG_TO_STDERR>},
    {ConfigKey::kLogToOslog, "LogToOslog",
     read_flag<XOLTLOG_CFG_LOG_TO_OSLOG, XOLTLOG_CFG_MASK_LOG_TO_OSLOG>},
    {ConfigKey::kFileName, "FileName",
     read_owned_text<&XoltLogCfg::logset_file_name, XOLTLOG_CFG_MASK_LOGSET_FILE_NAME, false>},
    {ConfigKey::kAppMsgLogging, "AppMsgLogging", read_app_msg_logging},
    {ConfigKey::kOidAppMsgLogging, "OIDAppMsgLogging",
     read_owned_text<&XoltLogCfg::oid_app_msg_logging, XOLTLOG_CFG_MASK_OID_APP_LOGGING, false>},
    {ConfigKey::kOidDebugLogging, "OIDDebugLogging",
     read_owned_text<&XoltLogCfg::oid_debug_logging, XOLTLOG_CFG_MASK_OID_DEBUG_LOGGING, false>},
    {ConfigKey::kOidDiagLogging, "OIDDiagLogging",
     read_owned_text<&XoltLogCfg::oid_diag_logging, XOLTLOG_CFG_MASK_OID_DIAG_LOGGING, false>},
    {ConfigKey::kRolloverMode, "RolloverMode", read_rollover_mode},
    {ConfigKey::kLogRecycle, "LogRecycle", read_recycle},
    {ConfigKey::kMaxLogFileSizeKb, "MaxLogFileSizeKB",
     read_nonzero<std::uint32_t, &XoltLogCfg::max_file_size_kb>},
    {ConfigKey::kRolloverAtLocalTime, "RolloverAtLocalTime", read_rollover_time},
    {ConfigKey::kRolloverPeriodInSeconds, "RolloverPeriodInSeconds",
     read_nonzero<std::uint64_t, &XoltLogCfg::rollover_period>},
    {ConfigKey::kNumberOfLogFiles, "NumberOfLogFiles",
     read_nonzero<std::uint32_t, &XoltLogCfg::number_of_log_files>},
    {ConfigKey::kNtEventLogSourceName, "NtEventLogSourceName", read_event_source},
    {ConfigKey::kNtEventLogCategory, "NtEventLogCategory", read_event_category},
    {ConfigKey::kLogFileSddl, "LogFileSDDL",
     read_owned_text<&XoltLogCfg::file_sddl, XOLTLOG_CFG_MASK_FILE_SDDL, true>},
};

constexpr bool rules_in_key_order() {
  for (std::size_t i = 0; i < std::size(kRules); ++i) {
    if (static_cast<std::size_t>(kRules[i].key) != i) {
      return false;
    }
  }
  return true;
}
static_assert(rules_in_key_order());

const KeyRule& rule_of(ConfigKey key) noexcept { return kRules[static_cast<std::size_t>(key)]; }

// One number as "%d" reads it: blanks, an optional sign, digits. A number
// beyond the range of long is clamped, which the callers' ranges refuse.
bool parse_int(const char*& text, long& number) noexcept {
  char* end = nullptr;
  number = std::strtol(text, &end, 10);
  if (end == text) {
    return false;
  }
  text = end;
  return true;
}

}  // namespace

const char* config_key_name(ConfigKey key) noexcept { return rule_of(key).name; }

bool read_config_key(SectionRead& read, ConfigKey key) {
  const KeyRule& rule = rule_of(key);
  return rule.reader(read, rule.name);
}

bool parse_time_of_day(const char* text, std::int64_t& seconds) noexcept {
  long hours = 0;
  long minutes = 0;
  if (!parse_int(text, hours) || *text++ != ':' || !parse_int(text, minutes)) {
    return false;
  }
  if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59) {
    return false;
  }
  seconds = (static_cast<std::int64_t>(hours) * 60 + minutes) * 60;
  return true;
}

}  // namespace xoltlog
