#include "config/record.h"

#include <cstring>

#include "config/accessors.h"
#include "platform/heap.h"

namespace xoltlog {
namespace {

constexpr std::uint32_t kSecurityCopyFailed = 0xFFFFFFFFu;

// Copies an owned text when it is set; false only when a copy failed.
bool copy_if_set(char*& destination, const char* source) noexcept {
  if (source == nullptr) {
    return true;
  }
  destination = duplicate_string(source);
  return destination != nullptr;
}

void set_defaults(const LibraryLockGuard& held, XoltLogCfg& cfg) noexcept {
  cfg.app_msg_logging = 1;
  cfg.max_file_size_kb = kDefaultMaxFileSizeKb;
  cfg.rollover_period = kDefaultRolloverPeriod;
  cfg.number_of_log_files = kAllLogFiles;
  reset_event_source_to_default(held, cfg.event_source);
}

bool copy_owned_fields(XoltLogCfg& destination, const XoltLogCfg& source) noexcept {
  return copy_if_set(destination.l10n_lib, source.l10n_lib) &&
         copy_if_set(destination.l10n_resource, source.l10n_resource) &&
         copy_if_set(destination.l10n_resource_dir, source.l10n_resource_dir) &&
         copy_if_set(destination.file_sddl, source.file_sddl) &&
         copy_if_set(destination.second_file_security, source.second_file_security);
}

void copy_plain_fields(XoltLogCfg& destination, const XoltLogCfg& source) noexcept {
  destination.product_id = source.product_id;
  destination.originator_id = source.originator_id;
  destination.debug_level = source.debug_level;
  destination.diag_level = source.diag_level;
  destination.app_msg_logging = source.app_msg_logging;
  destination.flags = source.flags;
  destination.number_of_log_files = source.number_of_log_files;
  std::memcpy(destination.log_directory, source.log_directory, sizeof source.log_directory);
  std::memcpy(destination.originator_names, source.originator_names,
              sizeof source.originator_names);
  std::memcpy(destination.product_names, source.product_names, sizeof source.product_names);
  destination.max_file_size_kb = source.max_file_size_kb;
  destination.rollover_mode = source.rollover_mode;
  destination.rollover_period = source.rollover_period;
  destination.rollover_time = source.rollover_time;
  destination.prev_conf_mod_time = source.prev_conf_mod_time;
  destination.reload_interval = source.reload_interval;
  std::memcpy(destination.event_source.name, source.event_source.name,
              sizeof source.event_source.name);
}

}  // namespace

std::uint32_t init_config(const LibraryLockGuard& held, XoltLogCfg* cfg, std::uint32_t product,
                          std::uint32_t originator, const char* logset_name) noexcept {
  if (cfg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  std::memset(cfg, 0, sizeof *cfg);
  cfg->product_id = product;
  cfg->originator_id = originator;
  set_defaults(held, *cfg);
  if (logset_name != nullptr) {
    cfg->logset_marker = 1;
    if (!copy_if_set(cfg->logset_name, logset_name) ||
        !copy_if_set(cfg->logset_file_name, logset_name)) {
      free_config(held, *cfg);
      return XOLTLOG_E_NO_MEMORY;
    }
  }
  return XOLTLOG_OK;
}

std::uint32_t copy_config(const LibraryLockGuard& held, XoltLogCfg* destination,
                          const XoltLogCfg* source) noexcept {
  if (destination == nullptr || source == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  std::memset(destination, 0, sizeof *destination);
  copy_plain_fields(*destination, *source);
  if (!copy_owned_fields(*destination, *source)) {
    free_config(held, *destination);
    return XOLTLOG_E_NO_MEMORY;
  }
  return XOLTLOG_OK;
}

void free_config(const LibraryLockGuard&, XoltLogCfg& cfg) noexcept {
  for (char* text : {cfg.file_sddl, cfg.second_file_security, cfg.l10n_lib, cfg.l10n_resource,
                     cfg.l10n_resource_dir, cfg.logset_name, cfg.logset_file_name,
                     cfg.oid_app_msg_logging, cfg.oid_debug_logging, cfg.oid_diag_logging}) {
    release(text);
  }
  std::memset(&cfg, 0, sizeof cfg);
}

std::uint32_t copy_file_security(const LibraryLockGuard&, char** text,
                                 const char* source) noexcept {
  if (text == nullptr || source == nullptr) {
    return kSecurityCopyFailed;
  }
  char* copy = duplicate_string(source);
  if (copy == nullptr) {
    return kSecurityCopyFailed;
  }
  *text = copy;
  return XOLTLOG_OK;
}

}  // namespace xoltlog
