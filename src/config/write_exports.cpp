// Exported configuration writers and product registration. Each holds the
// library lock for the span its operation names: the writers for all their
// work, registration only around its two writes, removal from the first
// removal on.
#include "config/config_writer.h"
#include "config/registration.h"
#include "frame/boundary.h"
#include "frame/library_lock.h"
#include "xoltlog/config_write.h"

namespace {

using xoltlog::guarded;
using xoltlog::LibraryLockGuard;
using xoltlog::OpenStore;

}  // namespace

extern "C" {

XOLTLOG_API uint32_t xoltLogWriteCfg(uint32_t product, uint32_t originator,
                                     const XoltLogCfg* cfg) noexcept {
  if (product == 0 || originator == 0 || cfg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return guarded(XOLTLOG_E_FAILED, [&] {
    const LibraryLockGuard held("xoltLogWriteCfg()");
    return xoltlog::write_config(held, product, originator, *cfg);
  });
}

XOLTLOG_API uint32_t xoltLogWritelogSetCfg(uint32_t product, const char* logset,
                                           const XoltLogCfg* cfg) noexcept {
  if (product == 0 || logset == nullptr || cfg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return guarded(XOLTLOG_E_FAILED, [&] {
    const LibraryLockGuard held("xoltLogWritelogSetCfg()");
    return xoltlog::write_logset_config(held, product, logset, *cfg);
  });
}

XOLTLOG_API uint32_t xoltLogAddProductCfg(uint32_t product, const char* names,
                                          const char* location) noexcept {
  if (product == 0 || names == nullptr || location == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return guarded(XOLTLOG_E_FAILED, [&] {
    OpenStore key;
    if (const uint32_t opened = xoltlog::open_new_registration(key, product);
        opened != XOLTLOG_OK) {
      return opened;
    }
    const LibraryLockGuard held("xoltLogAddProductCfg");
    return xoltlog::write_registration(held, key, location, names);
  });
}

XOLTLOG_API uint32_t xoltLogRemoveProductCfg(uint32_t product) noexcept {
  if (product == 0) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return guarded(XOLTLOG_E_FAILED, [&] {
    OpenStore key;
    if (const uint32_t opened = xoltlog::open_registration(key, product); opened != XOLTLOG_OK) {
      return opened;
    }
    const LibraryLockGuard held("xoltLogRemoveProductCfg");
    return xoltlog::remove_registration(held, key, product);
  });
}

}  // extern "C"
