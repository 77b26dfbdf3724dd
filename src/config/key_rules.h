// How each key of a configuration section goes into a configuration
// record: its name, its type in the store and the rule that takes or skips
// its value. A key that is absent, of the wrong type, or whose value its
// rule refuses leaves the record as it was.
//
// Records are guarded by the library lock, so reading into one takes the
// held guard. The readers may throw std::bad_alloc, also when a text copy
// for the record cannot be made.
#pragma once

#include <cstdint>

#include "frame/library_lock.h"
#include "xoltlog/config.h"
#include "xoltlog/property_store.h"

namespace xoltlog {

enum class ConfigKey {
  kLogDirectory,
  kOidNames,
  kL10nLib,
  kL10nResource,
  kL10nResourceDir,
  kDebugLevel,
  kDiagnosticLevel,
  kDynaReloadInSec,
  kLogToStdout,
  kLogToStderr,
  kLogToOslog,
  kFileName,
  kAppMsgLogging,
  kOidAppMsgLogging,
  kOidDebugLogging,
  kOidDiagLogging,
  kRolloverMode,
  kLogRecycle,
  kMaxLogFileSizeKb,
  kRolloverAtLocalTime,
  kRolloverPeriodInSeconds,
  kNumberOfLogFiles,
  kNtEventLogSourceName,
  kNtEventLogCategory,
  kLogFileSddl,
};

// The key's name in the store ("LogDirectory", ...).
const char* config_key_name(ConfigKey key) noexcept;

// One open section being read into one record.
struct SectionRead {
  const LibraryLockGuard& held;
  XoltLogPropertyStore* store;
  XoltLogCfg& cfg;
  // The "Default" section or the "Default" logset: its LogDirectory
  // replaces the record's, where other sections append a relative one.
  bool defaults_section;
};

// Reads key and applies its rule. True when the key was there to read,
// whether or not its value was taken; "RolloverAtLocalTime" counts only
// when its value was taken.
bool read_config_key(SectionRead& read, ConfigKey key);

// "%d:%d" with hours 0 to 23 and minutes 0 to 59, as seconds after
// midnight; false for anything else.
bool parse_time_of_day(const char* text, std::int64_t& seconds) noexcept;

}  // namespace xoltlog
