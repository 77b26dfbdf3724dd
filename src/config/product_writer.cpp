#include <optional>

#include "config/config_writer.h"
#include "config/key_writer.h"
#include "config/store_layout.h"
#include "xoltlog/result.h"

namespace xoltlog {

std::uint32_t write_product_section(const LibraryLockGuard& held, const std::string& location,
                                    const std::string& section, const XoltLogCfg& cfg) {
  OpenStore store;
  if (store.create(location, section) != XOLTLOG_OK) {
    return XOLTLOG_E_FAILED;
  }
  const std::uint32_t result = apply_keys(held, *store.get(), cfg, product_section_keys());
  if (result != XOLTLOG_OK) {
    return result;
  }
  apply_keys_silently(held, *store.get(), cfg, event_and_security_keys());
  return XOLTLOG_OK;
}

std::uint32_t write_config(const LibraryLockGuard& held, std::uint32_t product,
                           std::uint32_t originator, const XoltLogCfg& cfg) {
  const std::string section = originator_section(originator);
  const std::optional<std::string> location = product_config_location(nullptr, product);
  if (!location) {
    return XOLTLOG_E_CFG_STORE;
  }
  return write_product_section(held, *location, section, cfg);
}

}  // namespace xoltlog
