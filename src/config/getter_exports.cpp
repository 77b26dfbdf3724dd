// Exported configuration getters. Each reads the record under the library
// lock, with its own name as the lock's caller name.
#include "config/accessors.h"
#include "frame/library_lock.h"
#include "platform/heap.h"
#include "platform/shared_lib.h"
#include "xoltlog/config.h"

namespace {

using xoltlog::LibraryLockGuard;

// Copies a field to *out: 3 for a null record or output.
template <typename T, typename Read>
uint32_t get_value(const char* caller, const XoltLogCfg* cfg, T* out, Read read) noexcept {
  if (cfg == nullptr || out == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held(caller);
  *out = read(*cfg);
  return XOLTLOG_OK;
}

uint32_t get_text(const char* caller, const XoltLogCfg* cfg, char** out,
                  char* XoltLogCfg::*field) noexcept {
  if (cfg == nullptr || out == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held(caller);
  return xoltlog::get_owned_text(held, cfg->*field, out);
}

}  // namespace

extern "C" {

XOLTLOG_API uint32_t xoltLogCfgGetDebugLevel(const XoltLogCfg* cfg, uint32_t* level) noexcept {
  return get_value("xoltLogCfgGetDebugLevel()", cfg, level,
                   [](const XoltLogCfg& c) { return c.debug_level; });
}

XOLTLOG_API uint32_t xoltLogCfgGetDiagLevel(const XoltLogCfg* cfg, uint32_t* level) noexcept {
  return get_value("xoltLogCfgGetDiagLevel()", cfg, level,
                   [](const XoltLogCfg& c) { return c.diag_level; });
}

XOLTLOG_API uint32_t xoltLogCfgGetFlags(const XoltLogCfg* cfg, uint32_t* flags) noexcept {
  return get_value("xoltLogCfgGetFlags()", cfg, flags, [](const XoltLogCfg& c) { return c.flags; });
}

XOLTLOG_API uint32_t xoltLogCfgGetDirectory(const XoltLogCfg* cfg, char** directory) noexcept {
  return get_value("xoltLogCfgGetDirectory()", cfg, directory,
                   [](const XoltLogCfg& c) { return xoltlog::duplicate_string(c.log_directory); });
}

XOLTLOG_API uint32_t xoltLogCfgGetDynaSetting(const XoltLogCfg* cfg, uint32_t* seconds) noexcept {
  return get_value("xoltLogCfgGetDynaSetting()", cfg, seconds,
                   [](const XoltLogCfg& c) { return c.reload_interval; });
}

XOLTLOG_API uint32_t xoltLogCfgGetMaxFileSize(const XoltLogCfg* cfg, uint32_t* kb) noexcept {
  return get_value("xoltLogCfgGetMaxFileSize()", cfg, kb,
                   [](const XoltLogCfg& c) { return c.max_file_size_kb; });
}

XOLTLOG_API uint32_t xoltLogCfgGetNumberOfLogFiles(const XoltLogCfg* cfg,
                                                   uint32_t* count) noexcept {
  return get_value("xoltLogCfgGetNumberOfLogFiles()", cfg, count,
                   [](const XoltLogCfg& c) { return c.number_of_log_files; });
}

XOLTLOG_API uint32_t xoltLogCfgGetRolloverMode(const XoltLogCfg* cfg, uint32_t* mode) noexcept {
  return get_value("xoltLogCfgGetRolloverMode()", cfg, mode,
                   [](const XoltLogCfg& c) { return c.rollover_mode; });
}

XOLTLOG_API uint32_t xoltLogCfgGetRolloverPeriod(const XoltLogCfg* cfg,
                                                 uint64_t* seconds) noexcept {
  return get_value("xoltLogCfgGetRolloverPeriod()", cfg, seconds,
                   [](const XoltLogCfg& c) { return c.rollover_period; });
}

XOLTLOG_API uint32_t xoltLogCfgGetRolloverTime(const XoltLogCfg* cfg, int64_t* seconds) noexcept {
  return get_value("xoltLogCfgGetRolloverTime()", cfg, seconds,
                   [](const XoltLogCfg& c) { return c.rollover_time; });
}

XOLTLOG_API uint32_t xoltLogCfgGetPrevConfModTime(const XoltLogCfg* cfg, int64_t* time) noexcept {
  return get_value("xoltLogCfgGetPrevConfModTime()", cfg, time,
                   [](const XoltLogCfg& c) { return c.prev_conf_mod_time; });
}

XOLTLOG_API uint32_t xoltLogCfgGetNtEventCategory(const XoltLogCfg* cfg,
                                                  uint16_t* category) noexcept {
  return get_value("xoltLogCfgGetNtEventCategory()", cfg, category,
                   [](const XoltLogCfg& c) { return c.event_source.category; });
}

XOLTLOG_API uint32_t xoltLogCfgGetNtEventSource(const XoltLogCfg* cfg, char** source) noexcept {
  if (cfg == nullptr || source == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held("xoltLogCfgGetNtEventSource()");
  *source = xoltlog::duplicate_string(cfg->event_source.name);
  return *source != nullptr ? XOLTLOG_OK : XOLTLOG_E_NO_MEMORY;
}

XOLTLOG_API uint32_t xoltLogCfgGetL10nResource(const XoltLogCfg* cfg, char** text) noexcept {
  return get_text("xoltLogCfgGetL10nResource()", cfg, text, &XoltLogCfg::l10n_resource);
}

XOLTLOG_API uint32_t xoltLogCfgGetL10nResourceDir(const XoltLogCfg* cfg, char** text) noexcept {
  return get_text("xoltLogCfgGetL10nResourceDir()", cfg, text, &XoltLogCfg::l10n_resource_dir);
}

XOLTLOG_API uint32_t xoltLogCfgGetLogsetFilename(const XoltLogCfg* cfg, char** text) noexcept {
  return get_text("xoltLogCfgGetLogsetFilename()", cfg, text, &XoltLogCfg::logset_file_name);
}

XOLTLOG_API uint32_t xoltLogCfgGetLogsetOIDDebugLogging(const XoltLogCfg* cfg,
                                                        char** text) noexcept {
  return get_text("xoltLogCfgGetLogsetOIDDebugLogging()", cfg, text,
                  &XoltLogCfg::oid_debug_logging);
}

XOLTLOG_API uint32_t xoltLogCfgGetLogsetOIDDiagLogging(const XoltLogCfg* cfg,
                                                       char** text) noexcept {
  return get_text("xoltLogCfgGetLogsetOIDDiagLogging()", cfg, text, &XoltLogCfg::oid_diag_logging);
}

XOLTLOG_API uint32_t xoltLogCfgGetLogsetOIDOIDappMsgLogging(const XoltLogCfg* cfg,
                                                            char** text) noexcept {
  return get_text("xoltLogCfgGetLogsetOIDOIDappMsgLogging()", cfg, text,
                  &XoltLogCfg::oid_app_msg_logging);
}

XOLTLOG_API uint32_t xoltLogCfgGetLogFileSDDL(const XoltLogCfg* cfg, char** text) noexcept {
  return get_text("xoltLogCfgGetLogFileSDDL()", cfg, text, &XoltLogCfg::file_sddl);
}

XOLTLOG_API uint32_t xoltLogCfgGetL10nLib(const XoltLogCfg* cfg, char** file_name) noexcept {
  if (cfg == nullptr || file_name == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held("xoltLogCfgGetL10nLib()");
  *file_name = nullptr;
  if (cfg->l10n_lib == nullptr) {
    return XOLTLOG_OK;
  }
  *file_name = xoltlog::platform::library_file_name(cfg->l10n_lib).release();
  return *file_name != nullptr ? XOLTLOG_OK : XOLTLOG_E_NO_MEMORY;
}

}  // extern "C"
