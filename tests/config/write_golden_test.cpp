// Whole store files: a fixed sequence of registrations and writes compared
// byte for byte with files kept beside the tests and read back by a fresh
// process, and two processes that register and write different
// products into one store at the same time.
#include <sys/types.h>

#include <cstdio>
#include <string>
#include <vector>

#include "config/write_test_support.h"
#include "support/helper_process.h"
#include "support/temp_dir.h"
#include "xoltlog/config_read.h"

namespace {

using xoltlog::test::Backend;
using xoltlog::test::Record;
using xoltlog::test::Store;
using xoltlog::test::WriteStore;

std::string text(const char* value) { return value != nullptr ? value : "(null)"; }

// The temporary directory's path stands as "@ROOT@" in the kept files.
std::string kept_form(const std::string& path, const std::string& root) {
  std::string text = xoltlog::test::read_file(path);
  for (std::size_t at = text.find(root); at != std::string::npos; at = text.find(root, at)) {
    text.replace(at, root.size(), "@ROOT@");
  }
  return text;
}

// The product's Default section, two originators and two logsets.
void write_product(uint32_t product) {
  Record all(product);
  xoltLogCfgSetDirectory(&all.cfg, "/var/log/pa", nullptr);
  xoltLogCfgSetDebugLevel(&all.cfg, 2);
  xoltLogCfgSetRolloverMode(&all.cfg, 3);
  xoltLogCfgSetRolloverTime(&all.cfg, 7 * 3600 + 5 * 60);
  xoltLogCfgSetMaxFileSize(&all.cfg, 2048);
  xoltLogCfgEnableLogRecycling(&all.cfg);
  xoltLogCfgSetNumberOfLogFiles(&all.cfg, 10);
  xoltLogCfgSetNtEventSource(&all.cfg, "ProductA");
  xoltLogCfgSetLogFileSDDL(&all.cfg, "D:P(A;;GA;;;SY)");
  ASSERT_EQ(xoltLogWriteCfg(product, XOLTLOG_DEFAULT_ORIGINATOR, &all.cfg), 0u);
  Record five(product, 5);
  xoltLogCfgSetDirectory(&five.cfg, "five", nullptr);
  xoltLogCfgSetDiagLevel(&five.cfg, 4);
  ASSERT_EQ(xoltLogWriteCfg(product, 5, &five.cfg), 0u);
  Record seven(product, 7);
  xoltLogCfgSetL10nLib(&seven.cfg, "palib");
  xoltLogCfgSetL10nResource(&seven.cfg, "pares");
  xoltLogCfgSetL10nResourceDir(&seven.cfg, "/usr/share/pa");
  xoltLogCfgDisableAppMsgLogging(&seven.cfg);
  ASSERT_EQ(xoltLogWriteCfg(product, 7, &seven.cfg), 0u);
  Record sets(product, 0, "Default");
  xoltLogCfgSetDirectory(&sets.cfg, "/var/log/pa/sets", nullptr);
  xoltLogCfgSetRolloverMode(&sets.cfg, 4);
  xoltLogCfgSetRolloverPeriod(&sets.cfg, 3600);
  ASSERT_EQ(xoltLogWritelogSetCfg(product, "Default", &sets.cfg), 0u);
  Record audit(product, 0, "audit");
  xoltLogCfgSetLogsetFilename(&audit.cfg, "pa_audit");
  xoltLogCfgSetLogsetOIDDebugLogging(&audit.cfg, "5,7");
  xoltLogCfgSetDebugLevel(&audit.cfg, 6);
  ASSERT_EQ(xoltLogWritelogSetCfg(product, "audit", &audit.cfg), 0u);
}

// args: the kept registration store. Reads product 12 back as the writers
// left it; prints what differs and fails.
XOLTLOG_TEST_HELPER(read_kept_store) {
  XoltLogCfg* records[8] = {};
  std::uint64_t count = 0;
  if (xoltLogReadProdIDCfg(args.at(0).c_str(), 12, 8, records, &count) != 0) return 1;
  std::string seen;
  for (std::uint64_t i = 0; i < count; ++i) {
    const XoltLogCfg& cfg = *records[i];
    seen += std::to_string(cfg.originator_id) + "/" + text(cfg.logset_name) +
            " dir=" + cfg.log_directory + " debug=" + std::to_string(cfg.debug_level) +
            " diag=" + std::to_string(cfg.diag_level) + ";";
    xoltLogFreeCfg(records[i]);
    xoltLogFree(records[i]);
  }
  const std::string expected =
      "112/(null) dir=/var/log/pa/ debug=2 diag=0;"
      "7/(null) dir=/var/log/pa/ debug=0 diag=0;"  // its mark wrote DebugLevel=0
      "0/Default dir=/var/log/pa/sets/ debug=0 diag=0;"
      "0/audit dir=/var/log/pa/sets/ debug=6 diag=0;";
  if (seen != expected) {
    std::fprintf(stderr, "read %s\nkept %s\n", seen.c_str(), expected.c_str());
    return 2;
  }
  return 0;
}

TEST(ConfigWriteGolden, AFixedSequenceGivesTheKeptStoreFiles) {
  xoltlog::test::TempDir root;
  const std::string registration = root.file("etc/xoltlog.conf");
  const std::string product_a = root.file("etc/pa.conf");
  setenv("XOLTLOG_CFG_LOC", registration.c_str(), 1);
  xoltlog::forget_store_location();
  ASSERT_EQ(xoltLogAddProductCfg(12, "pa,Product A", product_a.c_str()), 0u);
  ASSERT_EQ(xoltLogAddProductCfg(13, "pb,Product B", root.file("etc/pb.conf").c_str()), 0u);
  write_product(12);
  Store sections;
  ASSERT_EQ(utiOpenPropertyStore(product_a.c_str(), "", &sections.handle, 1), 0u);
  EXPECT_EQ(utiRemovePropertyRoot(&sections.handle, "5"), 0u);
  unsetenv("XOLTLOG_CFG_LOC");
  xoltlog::forget_store_location();

  const std::string golden = XOLTLOG_GOLDEN_DIR;
  EXPECT_EQ(kept_form(registration, root.path()),
            xoltlog::test::read_file(golden + "/registration.conf"));
  EXPECT_EQ(kept_form(product_a, root.path()), xoltlog::test::read_file(golden + "/product.conf"));
  // A process that has never seen them written reads them back.
  EXPECT_EQ(xoltlog::test::wait_for_exit(
                xoltlog::test::spawn_helper("read_kept_store", {registration})),
            0);
}

constexpr int kOriginatorsPerProcess = 12;

// args: product, first originator. Registers the product with its sections
// in the store itself and writes its originators one by one.
XOLTLOG_TEST_HELPER(register_and_write) {
  const uint32_t product = static_cast<uint32_t>(std::stoul(args.at(0)));
  const uint32_t first = static_cast<uint32_t>(std::stoul(args.at(1)));
  if (xoltLogAddProductCfg(product, "p", args.at(2).c_str()) != 0) {
    return 1;
  }
  for (uint32_t originator = first; originator < first + kOriginatorsPerProcess; ++originator) {
    Record record(product, originator);
    xoltLogCfgSetDebugLevel(&record.cfg, originator % 7);
    xoltLogCfgSetDirectory(&record.cfg, ("d" + std::to_string(originator)).c_str(), nullptr);
    if (xoltLogWriteCfg(product, originator, &record.cfg) != 0) {
      return 2;
    }
  }
  return 0;
}

class ConcurrentWriters : public WriteStore {};

INSTANTIATE_TEST_SUITE_P(Config, ConcurrentWriters,
                         ::testing::Values(Backend::kRegistry, Backend::kFile),
                         xoltlog::test::backend_name);

// Each rewrite starts from the store as it is under the rewriters' lock, so
// neither process loses the other's lines.
TEST_P(ConcurrentWriters, TwoProcessesKeepEachOthersProducts) {
  const std::string shared = registry() ? std::string("SOFTWARE\\KESTRAN\\Shared") : registration();
  // The helpers inherit this process's store environment.
  const pid_t one = xoltlog::test::spawn_helper("register_and_write", {"21", "100", shared});
  const pid_t two = xoltlog::test::spawn_helper("register_and_write", {"22", "200", shared});
  EXPECT_EQ(xoltlog::test::wait_for_exit(one), 0);
  EXPECT_EQ(xoltlog::test::wait_for_exit(two), 0);

  for (const uint32_t product : {21u, 22u}) {
    EXPECT_EQ(registration_view(product), "Configuration=" + shared + "; Names=p");
    const uint32_t first = product == 21 ? 100 : 200;
    for (uint32_t originator = first; originator < first + kOriginatorsPerProcess; ++originator) {
      EXPECT_EQ(xoltlog::test::section_view(shared, std::to_string(originator)),
                "LogDirectory=d" + std::to_string(originator) +
                    "/; DebugLevel=" + std::to_string(originator % 7) + "; AppMsgLogging=ON");
    }
  }
}

}  // namespace
