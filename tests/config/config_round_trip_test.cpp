// What the writers put in the store, the readers give back: every key of an
// originator section and of a logset set away from its default and read
// again, removed and read again, on both backends; and the kept store files
// read by a process that did not write them.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "config/write_test_support.h"
#include "support/helper_process.h"
#include "xoltlog/config_read.h"

namespace {

using xoltlog::test::Backend;
using xoltlog::test::Record;
using xoltlog::test::WriteStore;

std::string text(const char* value) { return value != nullptr ? value : "(null)"; }

// The fields that the store keeps, in one comparable line.
std::string stored_fields(const XoltLogCfg& cfg) {
  char numbers[256];
  std::snprintf(numbers, sizeof numbers,
                "debug=%" PRIu32 " diag=%" PRIu32 " reload=%" PRIu32 " flags=%" PRIu32
                " app=%" PRIu32 " mode=%" PRIu32 " recycle=%" PRIu32 " size=%" PRIu32
                " time=%" PRId64 " period=%" PRIu64 " files=%" PRIu32 " category=%u",
                cfg.debug_level, cfg.diag_level, cfg.reload_interval, cfg.flags,
                cfg.app_msg_logging, cfg.rollover_mode, cfg.log_recycle, cfg.max_file_size_kb,
                cfg.rollover_time, cfg.rollover_period, cfg.number_of_log_files,
                static_cast<unsigned>(cfg.event_source.category));
  return std::string(numbers) + " dir=" + cfg.log_directory + " oids=" + cfg.originator_names +
         " lib=" + text(cfg.l10n_lib) + " res=" + text(cfg.l10n_resource) +
         " resdir=" + text(cfg.l10n_resource_dir) + " source=" + cfg.event_source.name +
         " sddl=" + text(cfg.file_sddl) + " file=" + text(cfg.logset_file_name) +
         " oidapp=" + text(cfg.oid_app_msg_logging) + " oiddebug=" + text(cfg.oid_debug_logging) +
         " oiddiag=" + text(cfg.oid_diag_logging);
}

// Every key a section of its kind holds, away from its default.
void change_everything(XoltLogCfg& cfg, bool logset) {
  xoltLogCfgSetDirectory(&cfg, "/var/log/round", nullptr);
  std::snprintf(cfg.originator_names, sizeof cfg.originator_names, "%s", "svc,Service");
  cfg.change_mask |= XOLTLOG_CFG_MASK_OID_NAMES;
  if (logset) {
    xoltLogCfgSetLogsetFilename(&cfg, "trip_file");
    xoltLogCfgSetLogsetOIDappMsgLogging(&cfg, "1,2");
    xoltLogCfgSetLogsetOIDDebugLogging(&cfg, "3");
    xoltLogCfgSetLogsetOIDDiagLogging(&cfg, "4,5,6");
  } else {
    xoltLogCfgSetL10nLib(&cfg, "round.so");
    xoltLogCfgSetL10nResource(&cfg, "round.res");
    xoltLogCfgSetL10nResourceDir(&cfg, "/usr/share/round");
  }
  xoltLogCfgSetDebugLevel(&cfg, 4);
  xoltLogCfgSetDiagLevel(&cfg, 6);
  xoltLogCfgSetDynaSetting(&cfg, 30);
  xoltLogCfgEnableLogToStdout(&cfg);
  xoltLogCfgEnableLogToStderr(&cfg);
  xoltLogCfgEnableLogToOslog(&cfg);
  xoltLogCfgDisableAppMsgLogging(&cfg);
  xoltLogCfgSetRolloverMode(&cfg, XOLTLOG_ROLLOVER_FILE_SIZE | XOLTLOG_ROLLOVER_LOCAL_TIME);
  xoltLogCfgEnableLogRecycling(&cfg);
  xoltLogCfgSetMaxFileSize(&cfg, 2048);
  xoltLogCfgSetRolloverTime(&cfg, 13 * 3600 + 5 * 60);
  xoltLogCfgSetRolloverPeriod(&cfg, 7200);
  xoltLogCfgSetNumberOfLogFiles(&cfg, 9);
  xoltLogCfgSetNtEventSource(&cfg, "RoundSource");
  xoltLogCfgSetNtEventCategory(&cfg, 7);
  xoltLogCfgSetLogFileSDDL(&cfg, "D:P(A;;GA;;;SY)");
}

class RoundTrip : public WriteStore {};

INSTANTIATE_TEST_SUITE_P(Config, RoundTrip, ::testing::Values(Backend::kRegistry, Backend::kFile),
                         xoltlog::test::backend_name);

TEST_P(RoundTrip, EveryKeyComesBackAndARemovedKeyFallsBackToItsDefault) {
  ASSERT_EQ(add_product(12), 0u);
  for (const bool logset : {false, true}) {
    Record untouched(12, logset ? 0 : 7, logset ? "trip" : nullptr);
    Record written(12, logset ? 0 : 7, logset ? "trip" : nullptr);
    change_everything(written.cfg, logset);
    const auto write = [&](XoltLogCfg& cfg) {
      return logset ? xoltLogWritelogSetCfg(12, "trip", &cfg) : xoltLogWriteCfg(12, 7, &cfg);
    };
    const auto read_back = [&](XoltLogCfg& cfg) {
      xoltLogFreeCfg(&cfg);
      return logset ? xoltLogReadlogsetCfg(12, "trip", &cfg) : xoltLogReadCfg(12, 7, &cfg);
    };
    ASSERT_EQ(write(written.cfg), 0u) << logset;
    Record back(12);
    ASSERT_EQ(read_back(back.cfg), 0u) << logset;
    EXPECT_EQ(stored_fields(back.cfg), stored_fields(written.cfg)) << logset;

    // Removing every key but the logset's file name, which is never
    // removed, leaves the defaults a fresh record has.
    written.cfg.change_mask = 0;
    written.cfg.removal_mask = ~(XOLTLOG_CFG_MASK_LOGSET_FILE_NAME | 0x80000000u);
    ASSERT_EQ(write(written.cfg), 0u) << logset;
    const std::uint32_t reread = read_back(back.cfg);
    if (logset) {
      xoltLogCfgSetLogsetFilename(&untouched.cfg, "trip_file");
    }
    EXPECT_EQ(reread, 0u) << logset;
    EXPECT_EQ(stored_fields(back.cfg), stored_fields(untouched.cfg)) << logset;
  }
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

// The kept files, placed in a directory of their own, read by a process
// that has never seen them written.
TEST(ConfigKeptStore, AFreshProcessReadsWhatTheWritersLeft) {
  xoltlog::test::TempDir root;
  ASSERT_EQ(mkdir(root.file("etc").c_str(), 0755), 0);
  for (const char* name : {"registration.conf", "product.conf"}) {
    std::string kept = xoltlog::test::read_file(std::string(XOLTLOG_GOLDEN_DIR) + "/" + name);
    for (auto at = kept.find("@ROOT@"); at != std::string::npos; at = kept.find("@ROOT@", at)) {
      kept.replace(at, 6, root.path());
    }
    const std::string placed = root.file(std::string("etc/") +
                                         (name[0] == 'r' ? "xoltlog.conf" : "pa.conf"));
    std::FILE* out = std::fopen(placed.c_str(), "w");
    ASSERT_NE(out, nullptr);
    std::fputs(kept.c_str(), out);
    std::fclose(out);
  }
  const pid_t reader =
      xoltlog::test::spawn_helper("read_kept_store", {root.file("etc/xoltlog.conf")});
  EXPECT_EQ(xoltlog::test::wait_for_exit(reader), 0);
}

}  // namespace
