// Dynamic reload: the levels of a running process follow the store on a
// timer, and a writer's file security follows it on request.
#include <atomic>

#include "api/handle_ops.h"
#include "config/record.h"
#include "frame/library_lock.h"
#include "platform/clock.h"
#include "writer/file_writer.h"
#include "xoltlog/config_read.h"

namespace xoltlog {
namespace {

constexpr std::int32_t kShortestReloadInterval = 60;

// Takes the store's values, or the record's initial ones when the read
// failed: the lock guards the handle's fields, the read itself need not.
void take_reloaded(XoltLogHandle& handle) noexcept {
  std::uint32_t product = 0;
  std::uint32_t originator = 0;
  {
    const LibraryLockGuard held("xoltDynaLoadConfig()");
    originator = handle.originator_id;
    if (handle.file_writer != nullptr) {
      product = writer_product_id(held, *handle.file_writer);
    }
  }
  XoltLogCfg cfg{};
  // A refused read leaves the record zero; a product no longer registered
  // leaves its initial values: both switch the levels and reloading off.
  xoltLogReadCfg(product, originator, &cfg);
  const LibraryLockGuard held("xoltDynaLoadConfig()");
  unlocked(handle.debug_level)
      .store(static_cast<std::int32_t>(cfg.debug_level), std::memory_order_relaxed);
  unlocked(handle.diag_level)
      .store(static_cast<std::int32_t>(cfg.diag_level), std::memory_order_relaxed);
  unlocked(handle.reload_interval)
      .store(static_cast<std::int32_t>(cfg.reload_interval), std::memory_order_relaxed);
  free_config(held, cfg);
}

// The first handle of the writer's own originator; null when none.
XoltLogHandle* own_handle(const LibraryLockGuard& held, const XoltLogFileWriter& writer) noexcept {
  const std::uint32_t originator = writer_originator_id(held, writer);
  for (XoltLogHandle* handle = writer_attached(held, writer); handle != nullptr;
       handle = handle->next) {
    if (handle->originator_id == originator) {
      return handle;
    }
  }
  return nullptr;
}

}  // namespace

void reload_when_due(XoltLogHandle& handle) noexcept {
  const std::int32_t interval = unlocked(handle.reload_interval).load(std::memory_order_relaxed);
  if (interval == 0) {
    return;
  }
  // Whole seconds are all the check needs; the coarse clock gives them at
  // a fraction of the precise clock's cost.
  const std::int64_t now = platform::wall_clock_seconds();
  const std::int64_t effective =
      interval < kShortestReloadInterval ? kShortestReloadInterval : interval;
  auto last_check = unlocked(handle.last_reload_check);
  if (now - last_check.load(std::memory_order_relaxed) <= effective) {
    return;
  }
  // Before the read, so that a failing store is not retried until the next
  // interval.
  last_check.store(now, std::memory_order_relaxed);
  take_reloaded(handle);
}

std::uint32_t reload_writer_config(XoltLogFileWriter& writer) noexcept {
  std::uint32_t product = 0;
  std::uint32_t originator = 0;
  {
    const LibraryLockGuard held("xoltReLoadCfg()");
    const XoltLogHandle* handle = own_handle(held, writer);
    if (handle == nullptr || handle->config == nullptr) {
      return XOLTLOG_E_CFG_STORE;
    }
    product = writer_product_id(held, writer);
    originator = writer_originator_id(held, writer);
  }
  XoltLogCfg cfg{};
  const std::uint32_t read = xoltLogReadCfg(product, originator, &cfg);
  const LibraryLockGuard held("xoltReLoadCfg()");
  // The handle may have left while the store was read.
  XoltLogHandle* handle = own_handle(held, writer);
  std::uint32_t result = XOLTLOG_E_CFG_STORE;
  if (read == XOLTLOG_OK && handle != nullptr && handle->config != nullptr) {
    result = replace_writer_security(held, writer, cfg.file_sddl, cfg.second_file_security)
                 ? XOLTLOG_OK
                 : XOLTLOG_E_NO_MEMORY;
  }
  if (result == XOLTLOG_OK) {
    handle->config->reload_interval = cfg.reload_interval;
  }
  free_config(held, cfg);
  return result;
}

}  // namespace xoltlog
