// Exported configuration setters: value checks first, then the field and
// its change-mask bit, under the library lock with the setter's own name.
#include "config/accessors.h"
#include "frame/library_lock.h"
#include "xoltlog/config.h"

namespace {

constexpr uint32_t kMaxLevel = 6;
constexpr uint32_t kMaxRolloverMode = XOLTLOG_ROLLOVER_FILE_SIZE | XOLTLOG_ROLLOVER_PERIODIC;

using xoltlog::LibraryLockGuard;

// Runs store and marks bit when the record is given and the value valid.
template <typename Store>
uint32_t set_checked(const char* caller, XoltLogCfg* cfg, bool valid, uint32_t bit,
                     Store store) noexcept {
  if (cfg == nullptr || !valid) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held(caller);
  store(*cfg);
  cfg->change_mask |= bit;
  return XOLTLOG_OK;
}

uint32_t set_text(const char* caller, XoltLogCfg* cfg, char* XoltLogCfg::*field, const char* value,
                  uint32_t bit, bool allow_empty = false) noexcept {
  if (cfg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held(caller);
  return xoltlog::set_owned_text(held, *cfg, cfg->*field, value, bit, allow_empty);
}

}  // namespace

extern "C" {

XOLTLOG_API uint32_t xoltLogCfgSetDebugLevel(XoltLogCfg* cfg, uint32_t level) noexcept {
  return set_checked("xoltLogCfgSetDebugLevel()", cfg, level <= kMaxLevel,
                     XOLTLOG_CFG_MASK_DEBUG_LEVEL, [=](XoltLogCfg& c) { c.debug_level = level; });
}

XOLTLOG_API uint32_t xoltLogCfgSetDiagLevel(XoltLogCfg* cfg, uint32_t level) noexcept {
  return set_checked("xoltLogCfgSetDiagLevel()", cfg, level <= kMaxLevel,
                     XOLTLOG_CFG_MASK_DIAG_LEVEL, [=](XoltLogCfg& c) { c.diag_level = level; });
}

XOLTLOG_API uint32_t xoltLogCfgSetDynaSetting(XoltLogCfg* cfg, int32_t seconds) noexcept {
  return set_checked("xoltLogCfgSetDynaSetting()", cfg, seconds >= 0, XOLTLOG_CFG_MASK_RELOAD,
                     [=](XoltLogCfg& c) { c.reload_interval = static_cast<uint32_t>(seconds); });
}

XOLTLOG_API uint32_t xoltLogCfgSetMaxFileSize(XoltLogCfg* cfg, uint32_t kb) noexcept {
  return set_checked("xoltLogCfgSetMaxFileSize()", cfg, kb != 0, XOLTLOG_CFG_MASK_MAX_FILE_SIZE,
                     [=](XoltLogCfg& c) { c.max_file_size_kb = kb; });
}

XOLTLOG_API uint32_t xoltLogCfgSetNumberOfLogFiles(XoltLogCfg* cfg, uint32_t count) noexcept {
  return set_checked("xoltLogCfgSetNumberOfLogFiles()", cfg, count != 0,
                     XOLTLOG_CFG_MASK_NUMBER_OF_FILES,
                     [=](XoltLogCfg& c) { c.number_of_log_files = count; });
}

XOLTLOG_API uint32_t xoltLogCfgSetRolloverMode(XoltLogCfg* cfg, uint32_t mode) noexcept {
  return set_checked("xoltLogCfgSetRolloverMode()", cfg, mode <= kMaxRolloverMode,
                     XOLTLOG_CFG_MASK_ROLLOVER_MODE,
                     [=](XoltLogCfg& c) { c.rollover_mode = mode; });
}

XOLTLOG_API uint32_t xoltLogCfgSetRolloverPeriod(XoltLogCfg* cfg, uint64_t seconds) noexcept {
  return set_checked("xoltLogCfgSetRolloverPeriod()", cfg, seconds != 0,
                     XOLTLOG_CFG_MASK_ROLLOVER_PERIOD,
                     [=](XoltLogCfg& c) { c.rollover_period = seconds; });
}

XOLTLOG_API uint32_t xoltLogCfgSetRolloverTime(XoltLogCfg* cfg, int64_t seconds) noexcept {
  return set_checked("xoltLogCfgSetRolloverTime()", cfg, true, XOLTLOG_CFG_MASK_ROLLOVER_TIME,
                     [=](XoltLogCfg& c) { c.rollover_time = seconds; });
}

XOLTLOG_API uint32_t xoltLogCfgSetNtEventCategory(XoltLogCfg* cfg, uint16_t category) noexcept {
  return set_checked("xoltLogCfgSetNtEventCategory()", cfg, category != 0,
                     XOLTLOG_CFG_MASK_EVENT_CATEGORY,
                     [=](XoltLogCfg& c) { c.event_source.category = category; });
}

XOLTLOG_API uint32_t xoltLogCfgSetPrevConfModTime(XoltLogCfg* cfg, int64_t time) noexcept {
  return set_checked("xoltLogCfgSetPrevConfModTime()", cfg, true, 0,
                     [=](XoltLogCfg& c) { c.prev_conf_mod_time = time; });
}

XOLTLOG_API uint32_t xoltLogCfgSetNtEventSource(XoltLogCfg* cfg, const char* source) noexcept {
  if (cfg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held("xoltLogCfgSetNtEventSource()");
  return xoltlog::set_event_source(held, *cfg, source);
}

XOLTLOG_API uint32_t xoltLogCfgSetDirectory(XoltLogCfg* cfg, const char* directory,
                                            char* destination) noexcept {
  if (cfg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held("xoltLogCfgSetDirectory()");
  return xoltlog::set_directory(held, *cfg, directory, destination);
}

XOLTLOG_API uint32_t xoltLogCfgSetL10nLib(XoltLogCfg* cfg, const char* text) noexcept {
  return set_text("xoltLogCfgSetL10nLib()", cfg, &XoltLogCfg::l10n_lib, text,
                  XOLTLOG_CFG_MASK_L10N_LIB);
}

XOLTLOG_API uint32_t xoltLogCfgSetL10nResource(XoltLogCfg* cfg, const char* text) noexcept {
  return set_text("xoltLogCfgSetL10nResource()", cfg, &XoltLogCfg::l10n_resource, text,
                  XOLTLOG_CFG_MASK_L10N_RESOURCE);
}

XOLTLOG_API uint32_t xoltLogCfgSetL10nResourceDir(XoltLogCfg* cfg, const char* text) noexcept {
  return set_text("xoltLogCfgSetL10nResourceDir()", cfg, &XoltLogCfg::l10n_resource_dir, text,
                  XOLTLOG_CFG_MASK_L10N_RESOURCE_DIR);
}

XOLTLOG_API uint32_t xoltLogCfgSetLogsetFilename(XoltLogCfg* cfg, const char* text) noexcept {
  return set_text("xoltLogCfgSetLogsetFilename()", cfg, &XoltLogCfg::logset_file_name, text,
                  XOLTLOG_CFG_MASK_LOGSET_FILE_NAME);
}

XOLTLOG_API uint32_t xoltLogCfgSetLogsetOIDappMsgLogging(XoltLogCfg* cfg,
                                                         const char* text) noexcept {
  return set_text("xoltLogCfgSetLogsetOIDappMsgLogging()", cfg, &XoltLogCfg::oid_app_msg_logging,
                  text, XOLTLOG_CFG_MASK_OID_APP_LOGGING);
}

XOLTLOG_API uint32_t xoltLogCfgSetLogsetOIDDebugLogging(XoltLogCfg* cfg,
                                                        const char* text) noexcept {
  return set_text("xoltLogCfgSetLogsetOIDDebugLogging()", cfg, &XoltLogCfg::oid_debug_logging, text,
                  XOLTLOG_CFG_MASK_OID_DEBUG_LOGGING);
}

XOLTLOG_API uint32_t xoltLogCfgSetLogsetOIDDiagLogging(XoltLogCfg* cfg, const char* text) noexcept {
  return set_text("xoltLogCfgSetLogsetOIDDiagLogging()", cfg, &XoltLogCfg::oid_diag_logging, text,
                  XOLTLOG_CFG_MASK_OID_DIAG_LOGGING);
}

XOLTLOG_API uint32_t xoltLogCfgSetLogFileSDDL(XoltLogCfg* cfg, const char* text) noexcept {
  return set_text("xoltLogCfgSetLogFileSDDL()", cfg, &XoltLogCfg::file_sddl, text,
                  XOLTLOG_CFG_MASK_FILE_SDDL, true);
}

}  // extern "C"
