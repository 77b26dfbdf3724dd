#include "config/config_read.h"

#include <new>
#include <optional>
#include <string>

#include "config/accessors.h"
#include "config/config_lookups.h"
#include "config/record.h"
#include "config/section_reader.h"
#include "config/store_layout.h"

namespace xoltlog {
namespace {

// Reading ends with the requested logset's name and, unless its own
// section gave one, that name as the file name: also when its section was
// never read.
void settle_logset_names(const LibraryLockGuard& held, XoltLogCfg& cfg,
                         const std::string& logset) {
  for (char** field : {&cfg.logset_name, &cfg.logset_file_name}) {
    if (*field == nullptr || logset != *field) {
      if (set_owned_text(held, cfg, *field, logset.c_str(), 0, true) != XOLTLOG_OK) {
        throw std::bad_alloc();
      }
    }
  }
  cfg.change_mask = 0;
}

}  // namespace

void init_record(const LibraryLockGuard& held, XoltLogCfg& cfg, std::uint32_t product,
                 std::uint32_t originator, const char* logset) {
  if (init_config(held, &cfg, product, originator, logset) != XOLTLOG_OK) {
    throw std::bad_alloc();
  }
}

std::uint32_t read_config(const LibraryLockGuard& held, std::uint32_t product,
                          std::uint32_t originator, XoltLogCfg& cfg) {
  init_record(held, cfg, product, originator, nullptr);
  const std::optional<ProductRegistration> registration = product_registration(nullptr, product);
  if (!registration) {
    return XOLTLOG_E_CFG_STORE;
  }
  set_product_names(held, cfg, registration->names);
  std::uint32_t result = read_section(held, registration->location, kDefaultSection, cfg);
  if (result == XOLTLOG_OK && !is_default_originator(originator)) {
    result = read_section(held, registration->location, originator_section(originator), cfg);
  }
  return result;
}

std::uint32_t read_logset_config(const LibraryLockGuard& held, std::uint32_t product,
                                 const char* logset, XoltLogCfg& cfg) {
  const std::string section = logset_section(logset);
  init_record(held, cfg, product, 0, section.c_str());
  const std::optional<ProductRegistration> registration = product_registration(nullptr, product);
  if (!registration) {
    return XOLTLOG_E_CFG_STORE;
  }
  const std::string& location = registration->location;
  std::uint32_t result =
      read_logset_section(held, location, kDefaultSection, cfg) > 0 ? XOLTLOG_OK
                                                                      : XOLTLOG_E_CFG_STORE;
  set_product_names(held, cfg, registration->names);
  if (section != kDefaultSection) {
    result = logset_section_exists(location, section) &&
                     read_logset_section(held, location, section, cfg) > 0
                 ? XOLTLOG_OK
                 : XOLTLOG_E_CFG_STORE;
    if (result != XOLTLOG_OK) {
      settle_logset_names(held, cfg, section);
    }
  }
  return result;
}

}  // namespace xoltlog
