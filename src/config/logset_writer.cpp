#include <optional>

#include "config/config_writer.h"
#include "config/key_writer.h"
#include "config/store_layout.h"
#include "xoltlog/result.h"

namespace xoltlog {
namespace {

// FileName names the logset's files and is never removed: a removal asked
// for is answered with 61 once the rest has been written.
std::uint32_t apply_file_name(const LibraryLockGuard& held, XoltLogPropertyStore& store,
                              const XoltLogCfg& cfg, bool& removal_refused) {
  const SectionKey& key = logset_file_name_key();
  if (action_for(cfg, key.bit) == KeyAction::kRemove) {
    removal_refused = true;
    return XOLTLOG_OK;
  }
  return apply_key(held, store, cfg, key);
}

}  // namespace

std::uint32_t write_logset_section(const LibraryLockGuard& held, const std::string& location,
                                   const std::string& section, const XoltLogCfg& cfg) {
  OpenStore store;
  if (store.create(logset_root(location), logset_store_section(location, section)) != XOLTLOG_OK) {
    return XOLTLOG_E_FAILED;
  }
  std::uint32_t result = apply_keys(held, *store.get(), cfg, logset_section_keys());
  bool removal_refused = false;
  if (result == XOLTLOG_OK) {
    result = apply_file_name(held, *store.get(), cfg, removal_refused);
  }
  if (result != XOLTLOG_OK) {
    return result;
  }
  apply_keys_silently(held, *store.get(), cfg, event_and_security_keys());
  return removal_refused ? XOLTLOG_E_NOTHING_TO_WRITE : XOLTLOG_OK;
}

std::uint32_t write_logset_config(const LibraryLockGuard& held, std::uint32_t product,
                                  const char* logset, const XoltLogCfg& cfg) {
  const std::string section = logset_section(logset);
  const std::optional<std::string> location = product_config_location(nullptr, product);
  if (!location) {
    return XOLTLOG_E_CFG_STORE;
  }
  if (cfg.change_mask == 0 && cfg.removal_mask == 0) {
    return XOLTLOG_E_NOTHING_TO_WRITE;
  }
  return write_logset_section(held, *location, section, cfg);
}

}  // namespace xoltlog
