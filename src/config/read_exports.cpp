// Exported configuration readers and lookups. The readers of records take
// the library lock under their own names for their whole work.
#include "config/config_collect.h"
#include "config/config_lookups.h"
#include "config/config_read.h"
#include "config/store_layout.h"
#include "frame/boundary.h"
#include "frame/library_lock.h"
#include "xoltlog/config_read.h"

namespace {

using xoltlog::guarded;
using xoltlog::LibraryLockGuard;

const char* location_or_default(const char* location) noexcept {
  return location != nullptr ? location : xoltlog::store_location();
}

}  // namespace

extern "C" {

XOLTLOG_API const char* GetXoltLogCfgLoc(void) noexcept { return xoltlog::store_location(); }

XOLTLOG_API int32_t IsDefaultOriginator(uint32_t originator) noexcept {
  return xoltlog::is_default_originator(originator) ? 1 : 0;
}

XOLTLOG_API int32_t IsDefaultLogSet(const char* logset) noexcept {
  return xoltlog::is_default_logset(logset) ? 1 : 0;
}

XOLTLOG_API uint32_t xoltLogReadCfg(uint32_t product, uint32_t originator,
                                    XoltLogCfg* cfg) noexcept {
  if (product == 0 || originator == 0 || cfg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held("xoltLogReadCfg()");
  return guarded(XOLTLOG_E_CFG_STORE,
                 [&] { return xoltlog::read_config(held, product, originator, *cfg); });
}

XOLTLOG_API uint32_t xoltLogReadlogsetCfg(uint32_t product, const char* logset,
                                          XoltLogCfg* cfg) noexcept {
  if (product == 0 || logset == nullptr || cfg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held("xoltLogReadlogsetCfg()");
  return guarded(XOLTLOG_E_CFG_STORE,
                 [&] { return xoltlog::read_logset_config(held, product, logset, *cfg); });
}

XOLTLOG_API uint32_t xoltLogReadProdIDCfg(const char* location, uint32_t product,
                                          uint64_t capacity, XoltLogCfg** records,
                                          uint64_t* count) noexcept {
  if (records == nullptr || count == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held("xoltLogReadProdIDCfg()");
  *count = 0;
  xoltlog::RecordArray array(records, capacity, *count);
  return guarded(XOLTLOG_E_CFG_STORE, [&] {
    return xoltlog::read_product_configs(held, location_or_default(location), product, array);
  });
}

XOLTLOG_API uint32_t xoltLogReadAllCfg(const char* location, uint64_t capacity,
                                       XoltLogCfg** records, uint64_t* count) noexcept {
  if (records == nullptr || count == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held("xoltLogReadAllCfg()");
  *count = 0;
  xoltlog::RecordArray array(records, capacity, *count);
  return guarded(XOLTLOG_E_CFG_STORE, [&] {
    return xoltlog::read_all_configs(held, location_or_default(location), array);
  });
}

XOLTLOG_API uint32_t GetProductCfgPath(const char* location, uint32_t product,
                                       char** path) noexcept {
  if (path == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return guarded(XOLTLOG_E_CFG_STORE,
                 [&] { return xoltlog::product_config_path(location, product, path); });
}

XOLTLOG_API uint32_t GetProductLoggingLevel(const char* location, uint32_t product,
                                            uint32_t* level) noexcept {
  if (level == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return guarded(XOLTLOG_E_CFG_STORE,
                 [&] { return xoltlog::product_logging_level(location, product, level); });
}

XOLTLOG_API uint32_t LogCfgGetShortNames(const XoltLogCfg* cfg, uint16_t kind,
                                         char** name) noexcept {
  if (cfg == nullptr || name == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held("LogCfgGetShortNames()");
  return xoltlog::short_name(held, *cfg, kind, name);
}

XOLTLOG_API uint32_t xoltLogCfgGetToolsResDir(char** directory) noexcept {
  if (directory == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return guarded(XOLTLOG_E_CFG_STORE, [&] { return xoltlog::tools_resource_dir(directory); });
}

XOLTLOG_API int32_t isProdIdValid(uint32_t product) noexcept { return product != 0 ? 1 : 0; }

}  // extern "C"
