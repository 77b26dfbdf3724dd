// Exported configuration switches and whole-record operations. Those that
// touch a record take the library lock with their own name.
#include <cstring>

#include "config/accessors.h"
#include "config/record.h"
#include "frame/library_lock.h"
#include "platform/heap.h"
#include "xoltlog/config.h"

static_assert(sizeof(XoltLogCfg) == 3344);
static_assert(offsetof(XoltLogCfg, file_sddl) == 1056);
static_assert(offsetof(XoltLogCfg, event_source) == 1112);
static_assert(offsetof(XoltLogCfg, event_source.category) == 1192);
static_assert(offsetof(XoltLogCfg, product_names) == 1194);
static_assert(offsetof(XoltLogCfg, l10n_lib) == 3248);
static_assert(offsetof(XoltLogCfg, change_mask) == 3272);
static_assert(offsetof(XoltLogCfg, oid_diag_logging) == 3336);

namespace {

using xoltlog::LibraryLockGuard;

uint32_t switch_flag(const char* caller, XoltLogCfg* cfg, uint32_t flag, bool on,
                     uint32_t mask) noexcept {
  if (cfg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held(caller);
  xoltlog::switch_flag(held, *cfg, flag, on, mask);
  return XOLTLOG_OK;
}

uint32_t switch_field(const char* caller, XoltLogCfg* cfg, uint32_t XoltLogCfg::*field, bool on,
                      uint32_t mask) noexcept {
  if (cfg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held(caller);
  cfg->*field = on ? 1 : 0;
  cfg->change_mask |= mask;
  return XOLTLOG_OK;
}

}  // namespace

extern "C" {

XOLTLOG_API uint32_t xoltLogCfgEnableLogToStdout(XoltLogCfg* cfg) noexcept {
  return switch_flag("xoltLogCfgEnableLogToStdout()", cfg, XOLTLOG_CFG_LOG_TO_STDOUT, true,
                     XOLTLOG_CFG_MASK_LOG_TO_STDOUT);
}

XOLTLOG_API uint32_t xoltLogCfgDisableLogToStdout(XoltLogCfg* cfg) noexcept {
  return switch_flag("xoltLogCfgDisableLogToStdout()", cfg, XOLTLOG_CFG_LOG_TO_STDOUT, false,
                     XOLTLOG_CFG_MASK_LOG_TO_STDOUT);
}

XOLTLOG_API uint32_t xoltLogCfgEnableLogToStderr(XoltLogCfg* cfg) noexcept {
  return switch_flag("xoltLogCfgEnableLogToStderr()", cfg, XOLTLOG_CFG_LOG_TO_STDERR, true,
                     XOLTLOG_CFG_MASK_LOG_TO_STDERR);
}

XOLTLOG_API uint32_t xoltLogCfgDisableLogToStderr(XoltLogCfg* cfg) noexcept {
  return switch_flag("xoltLogCfgDisableLogToStderr()", cfg, XOLTLOG_CFG_LOG_TO_STDERR, false,
                     XOLTLOG_CFG_MASK_LOG_TO_STDERR);
}

XOLTLOG_API uint32_t xoltLogCfgEnableLogToOslog(XoltLogCfg* cfg) noexcept {
  return switch_flag("xoltLogCfgEnableLogToOslog()", cfg, XOLTLOG_CFG_LOG_TO_OSLOG, true,
                     XOLTLOG_CFG_MASK_LOG_TO_OSLOG);
}

XOLTLOG_API uint32_t xoltLogCfgDisableLogToOslog(XoltLogCfg* cfg) noexcept {
  return switch_flag("xoltLogCfgDisableLogToOslog()", cfg, XOLTLOG_CFG_LOG_TO_OSLOG, false,
                     XOLTLOG_CFG_MASK_LOG_TO_OSLOG);
}

XOLTLOG_API uint32_t xoltLogCfgEnableLogToOslogX(XoltLogCfg* cfg) noexcept {
  return switch_flag("xoltLogCfgEnableLogToOslogX()", cfg, XOLTLOG_CFG_LOG_TO_OSLOG_X, true, 0);
}

XOLTLOG_API uint32_t xoltLogCfgDisableLogToOslogX(XoltLogCfg* cfg) noexcept {
  return switch_flag("xoltLogCfgDisableLogToOslogX()", cfg, XOLTLOG_CFG_LOG_TO_OSLOG_X, false, 0);
}

XOLTLOG_API uint32_t xoltLogCfgEnableLogRecycling(XoltLogCfg* cfg) noexcept {
  return switch_field("xoltLogCfgEnableLogRecycling()", cfg, &XoltLogCfg::log_recycle, true,
                      XOLTLOG_CFG_MASK_RECYCLE);
}

XOLTLOG_API uint32_t xoltLogCfgDisableLogRecycling(XoltLogCfg* cfg) noexcept {
  return switch_field("xoltLogCfgDisableLogRecycling()", cfg, &XoltLogCfg::log_recycle, false,
                      XOLTLOG_CFG_MASK_RECYCLE);
}

XOLTLOG_API uint32_t xoltLogCfgEnableAppMsgLogging(XoltLogCfg* cfg) noexcept {
  return switch_field("xoltLogCfgEnableAppMsgLogging()", cfg, &XoltLogCfg::app_msg_logging, true,
                      XOLTLOG_CFG_MASK_APP_MSG_LOGGING);
}

XOLTLOG_API uint32_t xoltLogCfgDisableAppMsgLogging(XoltLogCfg* cfg) noexcept {
  return switch_field("xoltLogCfgDisableAppMsgLogging()", cfg, &XoltLogCfg::app_msg_logging, false,
                      XOLTLOG_CFG_MASK_APP_MSG_LOGGING);
}

XOLTLOG_API uint32_t xoltLogCfgSetFlags(XoltLogCfg* cfg, int32_t flags) noexcept {
  if (cfg == nullptr || flags < 0) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held("xoltLogCfgSetFlags()");
  const auto bits = static_cast<uint32_t>(flags);
  const auto set = [&](uint32_t flag, uint32_t mask) {
    xoltlog::switch_flag(held, *cfg, flag, (bits & flag) != 0, mask);
  };
  set(XOLTLOG_CFG_LOG_TO_STDOUT, XOLTLOG_CFG_MASK_LOG_TO_STDOUT);
  set(XOLTLOG_CFG_LOG_TO_STDERR, XOLTLOG_CFG_MASK_LOG_TO_STDERR);
  set(XOLTLOG_CFG_LOG_TO_OSLOG, XOLTLOG_CFG_MASK_LOG_TO_OSLOG);
  set(XOLTLOG_CFG_LOG_TO_OSLOG_X, 0);
  return XOLTLOG_OK;
}

XOLTLOG_API uint32_t xoltLogFreeCfg(XoltLogCfg* cfg) noexcept {
  if (cfg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held("xoltLogFreeCfg()");
  xoltlog::free_config(held, *cfg);
  return XOLTLOG_OK;
}

XOLTLOG_API uint32_t FreeFileSecuritySetting(char** text) noexcept {
  if (text == nullptr) {
    return 0xFFFFFFFFu;
  }
  xoltlog::release(*text);
  *text = nullptr;
  return XOLTLOG_OK;
}

XOLTLOG_API char* RolloverModeEnumToSettingString(int32_t mode, char* buffer) noexcept {
  return buffer == nullptr ? nullptr : xoltlog::append_rollover_mode_text(mode, buffer);
}

XOLTLOG_API int32_t SettingStringToRolloverModeEnum(const char* text) noexcept {
  return xoltlog::rollover_mode_of_text(text);
}

}  // extern "C"
