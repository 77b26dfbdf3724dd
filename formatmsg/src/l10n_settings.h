// The product's localization settings (L10nResourceDir, L10nResource) that
// locate its message catalogs.
//
// With a handle whose configuration copy is set, they are that copy's.
// Without one (the console passes none), they are read from the
// configuration store for the record's product and originator with
// xoltLogReadCfg, and kept per product and originator for kRefresh so that
// the store is not read for every message; a record without a product (a
// handle without a file writer) has none.
//
// Thread safety: callable from any thread. The store is read without this
// module's mutex held, so the library lock that xoltLogReadCfg takes is
// never waited for while holding it.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "xoltlog/handle.h"
#include "xoltlog/message.h"

namespace xoltlog::fmt {

struct L10nSettings {
  std::string dir;
  std::string resource;

  bool usable() const { return !dir.empty() && !resource.empty(); }
};

inline constexpr std::chrono::seconds kL10nRefresh{60};
// Products and originators kept; the whole table is dropped when full.
inline constexpr std::size_t kL10nMaxEntries = 64;

L10nSettings l10n_settings(const XoltLogHandle* handle, const XoltLogMsg& msg);

}  // namespace xoltlog::fmt
