#include "writer/shared_writer.h"

#include "writer/writer_state.h"

namespace xoltlog {
namespace {

XoltLogFileWriter* g_shared = nullptr;

bool same_series(const XoltLogFileWriter& a, const XoltLogFileWriter& b) noexcept {
  return a.product_id_ == b.product_id_ && a.originator_id_ == b.originator_id_;
}

}  // namespace

XoltLogFileWriter* share_writer(const LibraryLockGuard&, XoltLogFileWriter* offered) noexcept {
  if (g_shared == nullptr) {
    g_shared = offered;
    return offered;
  }
  return same_series(*g_shared, *offered) ? g_shared : offered;
}

void withdraw_writer(const LibraryLockGuard&, const XoltLogFileWriter& writer) noexcept {
  if (g_shared != nullptr && same_series(*g_shared, writer)) {
    g_shared = nullptr;
  }
}

}  // namespace xoltlog
