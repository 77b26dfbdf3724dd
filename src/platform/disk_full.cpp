#include "platform/disk_full.h"

#include <atomic>

#include "xoltlog/result.h"

namespace xoltlog::platform {
namespace {

std::atomic<std::uint32_t> g_disk_full{0};

}  // namespace

std::uint32_t disk_full_indication() noexcept {
  return g_disk_full.load(std::memory_order_relaxed);
}

void note_disk_full() noexcept {
  g_disk_full.store(XOLTLOG_E_DISK_FULL, std::memory_order_relaxed);
}

}  // namespace xoltlog::platform
