// The keys of the configuration sections, in the order the writers go
// through them, with the written form of each value.
#include <cinttypes>
#include <cstdio>

#include "config/accessors.h"
#include "config/key_writer.h"

namespace xoltlog {
namespace {

constexpr std::size_t kRolloverModeTextSize = 256;
constexpr std::int64_t kSecondsPerHour = 3600;
constexpr std::int64_t kSecondsPerMinute = 60;

KeyValue text(const char* value) {
  KeyValue key;
  if (value != nullptr) {
    key.text = value;
  }
  return key;
}

KeyValue number(std::uint32_t value) {
  return KeyValue{KeyValue::Type::kNumber, std::nullopt, value};
}

KeyValue boolean(std::uint32_t value) {
  return KeyValue{KeyValue::Type::kBool, std::nullopt, value};
}

KeyValue flag(const XoltLogCfg& cfg, std::uint32_t bit) {
  return boolean((cfg.flags & bit) != 0 ? 1 : 0);
}

KeyValue rollover_mode(const XoltLogCfg& cfg) {
  char buffer[kRolloverModeTextSize] = {};
  return text(append_rollover_mode_text(static_cast<std::int32_t>(cfg.rollover_mode), buffer));
}

// Hours and minutes of the time of day, two digits each ("13:05").
KeyValue rollover_time(const XoltLogCfg& cfg) {
  const std::int64_t hours = cfg.rollover_time / kSecondsPerHour;
  const std::int64_t minutes = (cfg.rollover_time - hours * kSecondsPerHour) / kSecondsPerMinute;
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%02" PRId64 ":%02" PRId64, hours, minutes);
  return text(buffer);
}

KeyValue app_msg_logging(const XoltLogCfg& cfg) {
  return text(cfg.app_msg_logging == 1 ? "ON" : "OFF");
}

// Fields in the order of the product sections; the logset sections share
// them without the L10n keys.
constexpr SectionKey kLogDirectory{"LogDirectory", XOLTLOG_CFG_MASK_DIRECTORY,
                                   [](const XoltLogCfg& c) { return text(c.log_directory); }};
constexpr SectionKey kOidNames{"OIDNames", XOLTLOG_CFG_MASK_OID_NAMES,
                               [](const XoltLogCfg& c) { return text(c.originator_names); }};
constexpr SectionKey kL10nLib{"L10nLib", XOLTLOG_CFG_MASK_L10N_LIB,
                              [](const XoltLogCfg& c) { return text(c.l10n_lib); }};
constexpr SectionKey kL10nResource{"L10nResource", XOLTLOG_CFG_MASK_L10N_RESOURCE,
                                   [](const XoltLogCfg& c) { return text(c.l10n_resource); }};
constexpr SectionKey kL10nResourceDir{
    "L10nResourceDir", XOLTLOG_CFG_MASK_L10N_RESOURCE_DIR,
    [](const XoltLogCfg& c) { return text(c.l10n_resource_dir); }};
constexpr SectionKey kDebugLevel{"DebugLevel", XOLTLOG_CFG_MASK_DEBUG_LEVEL,
                                 [](const XoltLogCfg& c) { return number(c.debug_level); }};
constexpr SectionKey kDiagnosticLevel{"DiagnosticLevel", XOLTLOG_CFG_MASK_DIAG_LEVEL,
                                      [](const XoltLogCfg& c) { return number(c.diag_level); }};
constexpr SectionKey kDynaReload{"DynaReloadInSec", XOLTLOG_CFG_MASK_RELOAD,
                                 [](const XoltLogCfg& c) { return number(c.reload_interval); }};
constexpr SectionKey kLogToStdout{
    "LogToStdout", XOLTLOG_CFG_MASK_LOG_TO_STDOUT,
    [](const XoltLogCfg& c) { return flag(c, XOLTLOG_CFG_LOG_TO_STDOUT); }};
constexpr SectionKey kLogToStderr{
    "LogToStderr", XOLTLOG_CFG_MASK_LOG_TO_STDERR,
    [](const XoltLogCfg& c) { return flag(c, XOLTLOG_CFG_LOG_TO_STDERR); }};
constexpr SectionKey kLogToOslog{
    "LogToOslog", XOLTLOG_CFG_MASK_LOG_TO_OSLOG,
    [](const XoltLogCfg& c) { return flag(c, XOLTLOG_CFG_LOG_TO_OSLOG); }};
constexpr SectionKey kRolloverMode{"RolloverMode", XOLTLOG_CFG_MASK_ROLLOVER_MODE, rollover_mode};
// "true" exactly when the field is 1.
constexpr SectionKey kLogRecycle{"LogRecycle", XOLTLOG_CFG_MASK_RECYCLE,
                                 [](const XoltLogCfg& c) { return boolean(c.log_recycle); }};
constexpr SectionKey kMaxFileSize{"MaxLogFileSizeKB", XOLTLOG_CFG_MASK_MAX_FILE_SIZE,
                                  [](const XoltLogCfg& c) { return number(c.max_file_size_kb); }};
constexpr SectionKey kRolloverTime{"RolloverAtLocalTime", XOLTLOG_CFG_MASK_ROLLOVER_TIME,
                                   rollover_time};
constexpr SectionKey kRolloverPeriod{
    "RolloverPeriodInSeconds", XOLTLOG_CFG_MASK_ROLLOVER_PERIOD,
    [](const XoltLogCfg& c) { return number(static_cast<std::uint32_t>(c.rollover_period)); }};
constexpr SectionKey kNumberOfLogFiles{
    "NumberOfLogFiles", XOLTLOG_CFG_MASK_NUMBER_OF_FILES,
    [](const XoltLogCfg& c) { return number(c.number_of_log_files); }};
constexpr SectionKey kAppMsgLogging{"AppMsgLogging", XOLTLOG_CFG_MASK_APP_MSG_LOGGING,
                                    app_msg_logging};
constexpr SectionKey kOidAppMsgLogging{
    "OIDAppMsgLogging", XOLTLOG_CFG_MASK_OID_APP_LOGGING,
    [](const XoltLogCfg& c) { return text(c.oid_app_msg_logging); }};
constexpr SectionKey kOidDebugLogging{
    "OIDDebugLogging", XOLTLOG_CFG_MASK_OID_DEBUG_LOGGING,
    [](const XoltLogCfg& c) { return text(c.oid_debug_logging); }};
constexpr SectionKey kOidDiagLogging{"OIDDiagLogging", XOLTLOG_CFG_MASK_OID_DIAG_LOGGING,
                                     [](const XoltLogCfg& c) { return text(c.oid_diag_logging); }};

constexpr SectionKey kProductKeys[] = {
    kLogDirectory,   kOidNames,         kL10nLib,       kL10nResource, kL10nResourceDir,
    kDebugLevel,     kDiagnosticLevel,  kDynaReload,    kLogToStdout,  kLogToStderr,
    kLogToOslog,     kRolloverMode,     kLogRecycle,    kMaxFileSize,  kRolloverTime,
    kRolloverPeriod, kNumberOfLogFiles, kAppMsgLogging,
};

constexpr SectionKey kLogsetKeys[] = {
    kLogDirectory,     kOidNames,        kDebugLevel,     kDiagnosticLevel,  kDynaReload,
    kLogToStdout,      kLogToStderr,     kLogToOslog,     kRolloverMode,     kLogRecycle,
    kMaxFileSize,      kRolloverTime,    kRolloverPeriod, kNumberOfLogFiles, kAppMsgLogging,
    kOidAppMsgLogging, kOidDebugLogging, kOidDiagLogging,
};

constexpr SectionKey kEventAndSecurityKeys[] = {
    {"NtEventLogSourceName", XOLTLOG_CFG_MASK_EVENT_SOURCE,
     [](const XoltLogCfg& c) { return text(c.event_source.name); }},
    {"NtEventLogCategory", XOLTLOG_CFG_MASK_EVENT_CATEGORY,
     [](const XoltLogCfg& c) { return number(c.event_source.category); }},
    {"LogFileSDDL", XOLTLOG_CFG_MASK_FILE_SDDL,
     [](const XoltLogCfg& c) { return text(c.file_sddl); }},
};

constexpr SectionKey kLogsetFileName{"FileName", XOLTLOG_CFG_MASK_LOGSET_FILE_NAME,
                                     [](const XoltLogCfg& c) { return text(c.logset_file_name); }};

}  // namespace

std::span<const SectionKey> product_section_keys() noexcept { return kProductKeys; }
std::span<const SectionKey> logset_section_keys() noexcept { return kLogsetKeys; }
std::span<const SectionKey> event_and_security_keys() noexcept { return kEventAndSecurityKeys; }
const SectionKey& logset_file_name_key() noexcept { return kLogsetFileName; }

}  // namespace xoltlog
