#include "config/section_reader.h"

#include <new>
#include <utility>

#include "config/accessors.h"
#include "config/key_rules.h"
#include "config/store_layout.h"
#include "platform/heap.h"
#include "frame/result_map.h"
#include "xoltlog/property_store.h"

namespace xoltlog {
namespace {

using enum ConfigKey;

// The order in which an originator's section and the "Default" section
// are read.
constexpr ConfigKey kSectionKeys[] = {
    kLogDirectory,       kOidNames,         kL10nLib,
    kL10nResource,       kL10nResourceDir,  kDebugLevel,
    kDiagnosticLevel,    kDynaReloadInSec,  kLogToStdout,
    kLogToStderr,        kLogToOslog,       kAppMsgLogging,
    kOidAppMsgLogging,   kOidDebugLogging,  kOidDiagLogging,
    kRolloverMode,       kLogRecycle,       kMaxLogFileSizeKb,
    kRolloverAtLocalTime, kRolloverPeriodInSeconds, kNumberOfLogFiles,
    kNtEventLogSourceName, kNtEventLogCategory, kLogFileSddl,
};

// A logset's keys before its marker is set, and after it; FileName is read
// a second time on its own.
constexpr ConfigKey kLogsetKeysBeforeMarker[] = {
    kLogDirectory, kOidNames,   kDebugLevel,  kDiagnosticLevel,
    kDynaReloadInSec, kLogToStdout, kLogToStderr, kLogToOslog,
};
constexpr ConfigKey kLogsetKeysAfterMarker[] = {
    kFileName,        kAppMsgLogging,   kOidAppMsgLogging,  kOidDebugLogging,
    kOidDiagLogging,  kRolloverMode,    kLogRecycle,        kMaxLogFileSizeKb,
    kRolloverAtLocalTime, kRolloverPeriodInSeconds, kNumberOfLogFiles,
};
// Read from a logset but not counted as its keys.
constexpr ConfigKey kLogsetUncountedKeys[] = {
    kNtEventLogSourceName, kNtEventLogCategory, kLogFileSddl,
};

template <std::size_t N>
std::uint32_t read_keys(SectionRead& read, const ConfigKey (&keys)[N]) {
  std::uint32_t present = 0;
  for (const ConfigKey key : keys) {
    present += read_config_key(read, key) ? 1u : 0u;
  }
  return present;
}

void set_logset_text(const LibraryLockGuard& held, XoltLogCfg& cfg, char*& field,
                     const std::string& text, std::uint32_t bit) {
  if (set_owned_text(held, cfg, field, text.c_str(), bit, true) != XOLTLOG_OK) {
    throw std::bad_alloc();
  }
}

// The second look at FileName: without a usable value the logset's files
// are named after the logset itself.
std::uint32_t read_file_name(SectionRead& read, const std::string& logset) {
  BlockPtr<char> before(std::exchange(read.cfg.logset_file_name, nullptr));
  const bool present = read_config_key(read, kFileName);
  if (read.cfg.logset_file_name == nullptr) {
    read.cfg.logset_file_name = before.release();
    set_logset_text(read.held, read.cfg, read.cfg.logset_file_name, logset,
                    XOLTLOG_CFG_MASK_LOGSET_FILE_NAME);
  }
  return present ? 1u : 0u;
}

}  // namespace

std::uint32_t read_section(const LibraryLockGuard& held, const std::string& location,
                           const std::string& section, XoltLogCfg& cfg) {
  OpenStore store;
  const std::uint32_t opened = map_store_result(store.open(location, section, XOLTLOG_STORE_READ));
  if (opened != XOLTLOG_OK && opened != XOLTLOG_E_CFG_STORE) {
    return opened;
  }
  if (opened == XOLTLOG_OK) {
    SectionRead read{held, store.get(), cfg, section == kDefaultSection};
    read_keys(read, kSectionKeys);
  }
  cfg.change_mask = 0;
  return XOLTLOG_OK;
}

std::uint32_t read_logset_section(const LibraryLockGuard& held, const std::string& location,
                                  const std::string& logset, XoltLogCfg& cfg) {
  OpenStore store;
  if (store.open(logset_root(location), logset_store_section(location, logset),
                 XOLTLOG_STORE_READ) != XOLTLOG_STORE_OK) {
    return 0;
  }
  set_logset_text(held, cfg, cfg.logset_name, logset, 0);
  SectionRead read{held, store.get(), cfg, is_default_logset(logset.c_str())};
  std::uint32_t count = read_keys(read, kLogsetKeysBeforeMarker);
  cfg.logset_marker = 1;
  count += read_keys(read, kLogsetKeysAfterMarker);
  count += read_file_name(read, logset);
  read_keys(read, kLogsetUncountedKeys);
  cfg.change_mask = 0;
  return count;
}

bool logset_section_exists(const std::string& location, const std::string& logset) {
  OpenStore store;
  return store.open(logset_root(location), logset_store_section(location, logset),
                    XOLTLOG_STORE_READ) == XOLTLOG_STORE_OK;
}

}  // namespace xoltlog
