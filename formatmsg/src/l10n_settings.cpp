#include "l10n_settings.h"

#include <mutex>
#include <unordered_map>

#include "xoltlog/config.h"
#include "xoltlog/config_read.h"

namespace xoltlog::fmt {
namespace {

struct Kept {
  L10nSettings settings;
  std::chrono::steady_clock::time_point read;
};

std::mutex g_mutex;
std::unordered_map<std::uint64_t, Kept> g_kept;

L10nSettings from_config(const XoltLogCfg& cfg) {
  L10nSettings settings;
  if (cfg.l10n_resource_dir != nullptr && cfg.l10n_resource != nullptr) {
    settings.dir = cfg.l10n_resource_dir;
    settings.resource = cfg.l10n_resource;
  }
  return settings;
}

L10nSettings read_from_store(std::uint32_t product, std::uint32_t originator) {
  XoltLogCfg cfg{};
  L10nSettings settings;
  if (xoltLogReadCfg(product, originator, &cfg) == XOLTLOG_OK) {
    try {
      settings = from_config(cfg);
    } catch (...) {
      xoltLogFreeCfg(&cfg);
      throw;
    }
  }
  xoltLogFreeCfg(&cfg);
  return settings;
}

}  // namespace

L10nSettings l10n_settings(const XoltLogHandle* handle, const XoltLogMsg& msg) {
  if (handle != nullptr && handle->config != nullptr) {
    return from_config(*handle->config);
  }
  if (msg.product_id == 0 || msg.originator_id == 0) {
    return {};
  }
  const std::uint64_t key = (std::uint64_t{msg.product_id} << 32) | msg.originator_id;
  const auto now = std::chrono::steady_clock::now();
  {
    const std::lock_guard lock(g_mutex);
    if (const auto found = g_kept.find(key);
        found != g_kept.end() && now - found->second.read < kL10nRefresh) {
      return found->second.settings;
    }
  }
  L10nSettings settings = read_from_store(msg.product_id, msg.originator_id);
  const std::lock_guard lock(g_mutex);
  if (g_kept.size() >= kL10nMaxEntries) {
    g_kept.clear();
  }
  g_kept.insert_or_assign(key, Kept{settings, now});
  return settings;
}

}  // namespace xoltlog::fmt
