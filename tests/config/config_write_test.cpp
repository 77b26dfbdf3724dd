// xoltLogWriteCfg and xoltLogWritelogSetCfg on both backends: which keys a
// record's masks write or remove, their written form, and where a write
// stops.
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "config/write_test_support.h"
#include "support/temp_dir.h"

namespace {

using xoltlog::test::Backend;
using xoltlog::test::Record;
using xoltlog::test::WriteStore;

constexpr uint32_t kProduct = 12;

class ConfigWrite : public WriteStore {
 protected:
  void SetUp() override {
    WriteStore::SetUp();
    ASSERT_EQ(add_product(kProduct), 0u);
  }
};

INSTANTIATE_TEST_SUITE_P(Config, ConfigWrite,
                         ::testing::Values(Backend::kRegistry, Backend::kFile),
                         xoltlog::test::backend_name);

struct MarkedKeys {
  const char* what;
  std::function<void(XoltLogCfg*)> change;
  const char* written;
};

// Every bit from 1 to 30 also marks AppMsgLogging, so only the directory
// is ever written alone.
TEST_P(ConfigWrite, WritesTheMarkedKeysInTheirStoredForm) {
  const MarkedKeys cases[] = {
      {"directory", [](XoltLogCfg* c) { xoltLogCfgSetDirectory(c, "/var/log/a", nullptr); },
       "LogDirectory=/var/log/a/"},
      {"debug level", [](XoltLogCfg* c) { xoltLogCfgSetDebugLevel(c, 3); },
       "DebugLevel=3; AppMsgLogging=ON"},
      {"time of day, two digits each",
       [](XoltLogCfg* c) {
         c->rollover_time = 3600 * 13 + 60 * 5;
         c->change_mask |= XOLTLOG_CFG_MASK_ROLLOVER_TIME;
       },
       "RolloverAtLocalTime=13:05; AppMsgLogging=ON"},
      {"early time of day", [](XoltLogCfg* c) { xoltLogCfgSetRolloverTime(c, 7 * 3600 + 5 * 60 + 59); },
       "RolloverAtLocalTime=07:05; AppMsgLogging=ON"},
      {"mode and size",
       [](XoltLogCfg* c) {
         xoltLogCfgSetRolloverMode(c, 5);
         xoltLogCfgSetMaxFileSize(c, 2048);
       },
       "RolloverMode=FileSize | Periodic; MaxLogFileSizeKB=2048; AppMsgLogging=ON"},
      {"flags", [](XoltLogCfg* c) { xoltLogCfgSetFlags(c, 5); },
       "LogToStdout=true; LogToStderr=false; LogToOslog=true; AppMsgLogging=ON"},
      {"recycling, period low bits, all files",
       [](XoltLogCfg* c) {
         xoltLogCfgEnableLogRecycling(c);
         xoltLogCfgSetRolloverPeriod(c, (1ull << 32) + 10);
         xoltLogCfgSetNumberOfLogFiles(c, 0xFFFFFFFFu);
       },
       "LogRecycle=true; RolloverPeriodInSeconds=10; NumberOfLogFiles=-1; AppMsgLogging=ON"},
      {"recycling not 1",
       [](XoltLogCfg* c) {
         c->log_recycle = 2;
         c->change_mask |= XOLTLOG_CFG_MASK_RECYCLE;
       },
       "LogRecycle=false; AppMsgLogging=ON"},
      {"event log and security",
       [](XoltLogCfg* c) {
         xoltLogCfgSetNtEventSource(c, "Source");
         xoltLogCfgSetNtEventCategory(c, 7);
         xoltLogCfgSetLogFileSDDL(c, "D:(A;;GA;;;BA)");
         c->app_msg_logging = 0;
       },
       "AppMsgLogging=OFF; NtEventLogSourceName=Source; NtEventLogCategory=7; "
       "LogFileSDDL=D:(A;;GA;;;BA)"},
  };
  uint32_t originator = 1;
  for (const MarkedKeys& marked : cases) {
    Record record(kProduct, originator);
    marked.change(&record.cfg);
    EXPECT_EQ(xoltLogWriteCfg(kProduct, originator, &record.cfg), 0u) << marked.what;
    EXPECT_EQ(section(kProduct, std::to_string(originator)), marked.written) << marked.what;
    ++originator;
  }
  Record product_wide(kProduct);
  xoltLogCfgSetDiagLevel(&product_wide.cfg, 6);
  EXPECT_EQ(xoltLogWriteCfg(kProduct, XOLTLOG_DEFAULT_ORIGINATOR, &product_wide.cfg), 0u);
  EXPECT_EQ(section(kProduct, "Default"), "DiagnosticLevel=6; AppMsgLogging=ON");
  EXPECT_EQ(section(kProduct, "112"), registry() ? "<2>" : "");
}

TEST_P(ConfigWrite, NothingMarkedStillCreatesTheSection) {
  Record record(kProduct, 5);
  EXPECT_EQ(xoltLogWriteCfg(kProduct, 5, &record.cfg), 0u);
  EXPECT_EQ(section(kProduct, "5"), "");
  if (!registry()) {
    const std::string text = xoltlog::test::read_file(location(kProduct));
    EXPECT_EQ(text.substr(0, 48), std::string(47, '#') + "\n");
    EXPECT_EQ(text.find('='), std::string::npos) << text;
  }
}

TEST_P(ConfigWrite, RemovalWinsOverChange) {
  Record full(kProduct, 5);
  xoltLogCfgSetDebugLevel(&full.cfg, 2);
  xoltLogCfgSetMaxFileSize(&full.cfg, 99);
  xoltLogCfgSetNtEventSource(&full.cfg, "Source");
  ASSERT_EQ(xoltLogWriteCfg(kProduct, 5, &full.cfg), 0u);

  Record change(kProduct, 5);
  xoltLogCfgSetDebugLevel(&change.cfg, 4);
  xoltLogCfgSetDiagLevel(&change.cfg, 4);
  change.cfg.removal_mask = XOLTLOG_CFG_MASK_DEBUG_LEVEL | XOLTLOG_CFG_MASK_MAX_FILE_SIZE |
                            XOLTLOG_CFG_MASK_EVENT_SOURCE;
  EXPECT_EQ(xoltLogWriteCfg(kProduct, 5, &change.cfg), 0u);
  // The removal bits mark AppMsgLogging for removal too.
  EXPECT_EQ(section(kProduct, "5"), "DiagnosticLevel=4");
}

// A registry value that is not there cannot be removed, and the write stops
// at it; the store file takes that removal as done.
TEST_P(ConfigWrite, RemovingAMissingKeyStopsOnlyTheRegistry) {
  Record record(kProduct, 5);
  xoltLogCfgSetDirectory(&record.cfg, "/d", nullptr);
  record.cfg.removal_mask = XOLTLOG_CFG_MASK_DEBUG_LEVEL;
  xoltLogCfgSetMaxFileSize(&record.cfg, 50);
  EXPECT_EQ(xoltLogWriteCfg(kProduct, 5, &record.cfg), registry() ? 1u : 0u);
  EXPECT_EQ(section(kProduct, "5"), registry() ? "LogDirectory=/d/"
                                               : "LogDirectory=/d/; MaxLogFileSizeKB=50");
}

TEST_P(ConfigWrite, AppMsgLoggingMarksEveryKeyButTheDirectory) {
  Record record(kProduct, 5);
  xoltLogCfgSetDirectory(&record.cfg, "/d", nullptr);
  xoltLogCfgSetL10nLib(&record.cfg, "lib");
  xoltLogCfgSetL10nResource(&record.cfg, "res");
  xoltLogCfgSetL10nResourceDir(&record.cfg, "/r");
  record.cfg.change_mask = 0;
  xoltLogCfgDisableAppMsgLogging(&record.cfg);
  std::strcpy(record.cfg.originator_names, "a,b");
  EXPECT_EQ(xoltLogWriteCfg(kProduct, 5, &record.cfg), 0u);
  // The unset LogFileSDDL fails on its own, silently.
  EXPECT_EQ(section(kProduct, "5"),
            "OIDNames=a,b; L10nLib=lib; L10nResource=res; L10nResourceDir=/r; DebugLevel=0; "
            "DiagnosticLevel=0; DynaReloadInSec=0; LogToStdout=false; LogToStderr=false; "
            "LogToOslog=false; RolloverMode=None; LogRecycle=false; MaxLogFileSizeKB=10240; "
            "RolloverAtLocalTime=00:00; RolloverPeriodInSeconds=43200; NumberOfLogFiles=-1; "
            "AppMsgLogging=OFF; NtEventLogSourceName=Application; NtEventLogCategory=0");

  Record unset_text(kProduct, 6);
  xoltLogCfgSetL10nLib(&unset_text.cfg, "lib");
  xoltLogCfgEnableAppMsgLogging(&unset_text.cfg);
  EXPECT_EQ(xoltLogWriteCfg(kProduct, 6, &unset_text.cfg), 3u);
  EXPECT_EQ(section(kProduct, "6"), "OIDNames=; L10nLib=lib");
}

struct Refused {
  const char* what;
  uint32_t product;
  uint32_t originator;
  bool null_record;
  uint32_t result;
};

TEST_P(ConfigWrite, RefusesBadArgumentsAndUnregisteredProducts) {
  const Refused cases[] = {
      {"zero product", 0, 5, false, 3},       {"zero originator", kProduct, 0, false, 3},
      {"null record", kProduct, 5, true, 3},  {"not registered", 13, 5, false, 6},
  };
  for (const Refused& refused : cases) {
    Record record(kProduct, 5);
    xoltLogCfgSetDebugLevel(&record.cfg, 1);
    XoltLogCfg* cfg = refused.null_record ? nullptr : &record.cfg;
    EXPECT_EQ(xoltLogWriteCfg(refused.product, refused.originator, cfg), refused.result)
        << refused.what;
    const char* name = refused.originator == 0 ? nullptr : "set";
    EXPECT_EQ(xoltLogWritelogSetCfg(refused.product, name, cfg), refused.result)
        << refused.what;
  }
  EXPECT_EQ(section(kProduct, "5"), "<2>");
}

// A section that cannot be made gives 1; a value the store refuses gives
// 6 and stops the write (the store file keeps no line feed in a value).
TEST_P(ConfigWrite, FailuresOfTheStore) {
  const std::string blocked = registry() ? "SOFTWARE\\..\\P14" : root_.file("etc/p12.conf/p14.conf");
  Record directory(kProduct, 5);
  ASSERT_EQ(xoltLogWriteCfg(kProduct, 5, &directory.cfg), 0u);  // makes p12.conf a file
  ASSERT_EQ(xoltLogAddProductCfg(14, "q", blocked.c_str()), 0u);
  Record record(14, 5);
  xoltLogCfgSetDebugLevel(&record.cfg, 1);
  EXPECT_EQ(xoltLogWriteCfg(14, 5, &record.cfg), 1u);
  EXPECT_EQ(xoltLogWritelogSetCfg(14, "set", &record.cfg), 1u);

  Record line_feed(kProduct, 6);
  std::strcpy(line_feed.cfg.originator_names, "a\nb");
  line_feed.cfg.change_mask |= XOLTLOG_CFG_MASK_OID_NAMES;
  xoltLogCfgSetDebugLevel(&line_feed.cfg, 1);
  EXPECT_EQ(xoltLogWriteCfg(kProduct, 6, &line_feed.cfg), registry() ? 0u : 6u);
  EXPECT_EQ(section(kProduct, "6"),
            registry() ? "OIDNames=a\nb; DebugLevel=1; AppMsgLogging=ON" : "");
}

TEST_P(ConfigWrite, LogsetWithNothingMarkedGives61AndOpensNothing) {
  Record record(kProduct, 0, "set");
  EXPECT_EQ(xoltLogWritelogSetCfg(kProduct, "set", &record.cfg), 61u);
  EXPECT_EQ(logset(kProduct, "set"), "<2>");
}

TEST_P(ConfigWrite, LogsetKeysWithoutL10nAndWithFileName) {
  Record record(kProduct, 0, "set");
  xoltLogCfgSetL10nLib(&record.cfg, "lib");
  xoltLogCfgSetLogsetFilename(&record.cfg, "file");
  xoltLogCfgSetLogsetOIDappMsgLogging(&record.cfg, "1");
  xoltLogCfgSetLogsetOIDDebugLogging(&record.cfg, "2");
  xoltLogCfgSetLogsetOIDDiagLogging(&record.cfg, "3");
  xoltLogCfgSetDebugLevel(&record.cfg, 5);
  EXPECT_EQ(xoltLogWritelogSetCfg(kProduct, "set", &record.cfg), 0u);
  EXPECT_EQ(logset(kProduct, "set"),
            "DebugLevel=5; AppMsgLogging=ON; OIDAppMsgLogging=1; OIDDebugLogging=2; "
            "OIDDiagLogging=3; FileName=file");

  Record fallback(kProduct, 0, "Default");
  xoltLogCfgSetDirectory(&fallback.cfg, "/sets", nullptr);
  EXPECT_EQ(xoltLogWritelogSetCfg(kProduct, "Default", &fallback.cfg), 0u);
  EXPECT_EQ(logset(kProduct, "Default"), "LogDirectory=/sets/");
  EXPECT_EQ(section(kProduct, "Default"), registry() ? "<2>" : "");
}

TEST_P(ConfigWrite, LogsetFileNameRemovalGives61AfterTheOtherKeys) {
  Record first(kProduct, 0, "set");
  xoltLogCfgSetLogsetFilename(&first.cfg, "file");
  ASSERT_EQ(xoltLogWritelogSetCfg(kProduct, "set", &first.cfg), 0u);

  Record record(kProduct, 0, "set");
  xoltLogCfgSetDirectory(&record.cfg, "/d", nullptr);
  xoltLogCfgSetNtEventSource(&record.cfg, "Source");
  record.cfg.removal_mask = XOLTLOG_CFG_MASK_LOGSET_FILE_NAME;
  EXPECT_EQ(xoltLogWritelogSetCfg(kProduct, "set", &record.cfg), 61u);
  EXPECT_EQ(logset(kProduct, "set"), "LogDirectory=/d/; FileName=file; NtEventLogSourceName=Source");
}

TEST_P(ConfigWrite, LogsetMarkStopsAtAnUnsetOidListBeforeFileName) {
  Record record(kProduct, 0, "set");
  xoltLogCfgSetLogsetOIDappMsgLogging(&record.cfg, "1");
  xoltLogCfgSetRolloverMode(&record.cfg, 2);
  record.cfg.change_mask = 0;
  xoltLogCfgEnableAppMsgLogging(&record.cfg);
  EXPECT_EQ(xoltLogWritelogSetCfg(kProduct, "set", &record.cfg), 3u);
  EXPECT_EQ(logset(kProduct, "set"),
            "OIDNames=; DebugLevel=0; DiagnosticLevel=0; DynaReloadInSec=0; LogToStdout=false; "
            "LogToStderr=false; LogToOslog=false; RolloverMode=LocalTime; LogRecycle=false; "
            "MaxLogFileSizeKB=10240; RolloverAtLocalTime=00:00; RolloverPeriodInSeconds=43200; "
            "NumberOfLogFiles=-1; AppMsgLogging=ON; OIDAppMsgLogging=1");
}

}  // namespace
