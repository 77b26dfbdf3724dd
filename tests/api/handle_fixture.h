// A store file below a temporary directory, named by XOLTLOG_CFG_LOC, with
// one registered product whose "Default" section names a log directory.
#pragma once

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/record.h"
#include "config/store_layout.h"
#include "support/temp_dir.h"
#include "xoltlog/config_write.h"
#include "xoltlog/handle.h"

namespace xoltlog::test {

struct InitialRecord {
  XoltLogCfg cfg{};
  InitialRecord(std::uint32_t product, std::uint32_t originator) {
    const LibraryLockGuard held("test");
    init_config(held, &cfg, product, originator, nullptr);
  }
  ~InitialRecord() { xoltLogFreeCfg(&cfg); }
};

// Keys a case writes into an originator's section; negative ones are not.
struct SectionValues {
  int debug_level = -1;
  int reload_interval = -1;
  int flags = -1;
};

class HandleStore : public ::testing::Test {
 protected:
  static constexpr std::uint32_t kProduct = 4711;

  void SetUp() override {
    mkdir(root_.file("etc").c_str(), 0700);
    setenv("XOLTLOG_REGISTRY_ROOT", root_.path().c_str(), 1);
    setenv("XOLTLOG_CFG_LOC", root_.file("etc/xoltlog.conf").c_str(), 1);
    forget_store_location();
    ASSERT_EQ(xoltLogAddProductCfg(kProduct, "p,Product", root_.file("etc/p.conf").c_str()), 0u);
    InitialRecord defaults(kProduct, XOLTLOG_DEFAULT_ORIGINATOR);
    ASSERT_EQ(xoltLogCfgSetDirectory(&defaults.cfg, (root_.path() + "/").c_str(), nullptr), 0u);
    ASSERT_EQ(xoltLogWriteCfg(kProduct, XOLTLOG_DEFAULT_ORIGINATOR, &defaults.cfg), 0u);
  }
  void TearDown() override {
    unsetenv("XOLTLOG_REGISTRY_ROOT");
    unsetenv("XOLTLOG_CFG_LOC");
    forget_store_location();
  }

  static void write_section(std::uint32_t originator, const SectionValues& values) {
    InitialRecord record(kProduct, originator);
    const auto level = static_cast<std::uint32_t>(values.debug_level);
    if (values.debug_level >= 0) xoltLogCfgSetDebugLevel(&record.cfg, level);
    if (values.reload_interval >= 0) xoltLogCfgSetDynaSetting(&record.cfg, values.reload_interval);
    if (values.flags >= 0) xoltLogCfgSetFlags(&record.cfg, values.flags);
    ASSERT_EQ(xoltLogWriteCfg(kProduct, originator, &record.cfg), 0u);
  }

  TempDir root_;
};

// Closed at the end of a case, whatever the case found.
struct OpenHandle {
  XoltLogHandle handle{};
  ~OpenHandle() { xoltLogClose(&handle); }
};

}  // namespace xoltlog::test
