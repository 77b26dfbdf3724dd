// xoltLogWriteCfg and xoltLogWritelogSetCfg on both backends: which keys a
// record's masks write or remove, their written form, and where a write
// stops. The rows of a table run in order on one store, so a row may work
// on what an earlier one wrote.
#include <cstring>
#include <functional>
#include <string>

#include "config/write_test_support.h"

namespace {

using xoltlog::test::Backend;
using xoltlog::test::Record;

constexpr uint32_t kProduct = 12;

class ConfigWrite : public xoltlog::test::WriteStore {
 protected:
  void SetUp() override {
    WriteStore::SetUp();
    ASSERT_EQ(add_product(kProduct), 0u);
  }
};

INSTANTIATE_TEST_SUITE_P(Config, ConfigWrite, ::testing::Values(Backend::kRegistry, Backend::kFile),
                         xoltlog::test::backend_name);

struct Write {
  const char* what;
  const char* section;  // an originator, "Default", or a logset as "LOGSET.<name>"
  std::function<void(XoltLogCfg*)> change;
  uint32_t result;
  const char* view;
  // Where the store file differs: its result and view.
  uint32_t file_result = ~0u;
  const char* file_view = nullptr;
};

void texts(XoltLogCfg* c) {
  xoltLogCfgSetL10nLib(c, "lib");
  xoltLogCfgSetL10nResource(c, "res");
  xoltLogCfgSetL10nResourceDir(c, "/r");
  xoltLogCfgSetLogsetOIDappMsgLogging(c, "1");
  xoltLogCfgSetLogsetOIDDebugLogging(c, "2");
  c->change_mask = 0;
}

// Every bit from 1 to 30 also marks AppMsgLogging, so that only the
// directory is ever written alone.
const Write kWrites[] = {
    {"nothing marked: the section is made", "5", [](XoltLogCfg*) {}, 0, ""},
    {"directory", "5", [](XoltLogCfg* c) { xoltLogCfgSetDirectory(c, "/a", nullptr); }, 0,
     "LogDirectory=/a/"},
    {"debug level", "6", [](XoltLogCfg* c) { xoltLogCfgSetDebugLevel(c, 3); }, 0,
     "DebugLevel=3; AppMsgLogging=ON"},
    {"time of day, two digits each", "7",
     [](XoltLogCfg* c) {
       c->rollover_time = 3600 * 13 + 60 * 5;
       c->change_mask = XOLTLOG_CFG_MASK_ROLLOVER_TIME;
     },
     0, "RolloverAtLocalTime=13:05; AppMsgLogging=ON"},
    {"early time, mode, size", "Default",
     [](XoltLogCfg* c) {
       xoltLogCfgSetRolloverTime(c, 7 * 3600 + 5 * 60 + 59);
       xoltLogCfgSetRolloverMode(c, 5);
       xoltLogCfgSetMaxFileSize(c, 2048);
     },
     0,
     "RolloverMode=FileSize | Periodic; MaxLogFileSizeKB=2048; RolloverAtLocalTime=07:05; "
     "AppMsgLogging=ON"},
    {"flags, recycling, period low bits, all files", "8",
     [](XoltLogCfg* c) {
       xoltLogCfgSetFlags(c, 5);
       c->log_recycle = 2;
       c->change_mask |= XOLTLOG_CFG_MASK_RECYCLE;
       xoltLogCfgSetRolloverPeriod(c, (1ull << 32) + 10);
       xoltLogCfgSetNumberOfLogFiles(c, 0xFFFFFFFFu);
     },
     0,
     "LogToStdout=true; LogToStderr=false; LogToOslog=true; LogRecycle=false; "
     "RolloverPeriodInSeconds=10; NumberOfLogFiles=-1; AppMsgLogging=ON"},
    {"event log and security", "9",
     [](XoltLogCfg* c) {
       xoltLogCfgSetNtEventSource(c, "Source");
       xoltLogCfgSetNtEventCategory(c, 7);
       xoltLogCfgSetLogFileSDDL(c, "D:(A;;GA;;;BA)");
       c->app_msg_logging = 0;
     },
     0,
     "AppMsgLogging=OFF; NtEventLogSourceName=Source; NtEventLogCategory=7; "
     "LogFileSDDL=D:(A;;GA;;;BA)"},
    {"removal wins over change, and takes AppMsgLogging along", "9",
     [](XoltLogCfg* c) {
       xoltLogCfgSetDiagLevel(c, 4);
       xoltLogCfgSetNtEventCategory(c, 2);
       c->removal_mask = XOLTLOG_CFG_MASK_EVENT_CATEGORY | XOLTLOG_CFG_MASK_EVENT_SOURCE;
     },
     0, "DiagnosticLevel=4; LogFileSDDL=D:(A;;GA;;;BA)"},
    {"a missing registry value stops the write", "9",
     [](XoltLogCfg* c) {
       xoltLogCfgSetDirectory(c, "/d", nullptr);
       xoltLogCfgSetMaxFileSize(c, 50);
       c->removal_mask = XOLTLOG_CFG_MASK_DEBUG_LEVEL;
     },
     1, "LogDirectory=/d/; DiagnosticLevel=4; LogFileSDDL=D:(A;;GA;;;BA)", 0,
     "LogDirectory=/d/; DiagnosticLevel=4; MaxLogFileSizeKB=50; LogFileSDDL=D:(A;;GA;;;BA)"},
    {"the store file refuses a line feed", "10",
     [](XoltLogCfg* c) {
       std::strcpy(c->originator_names, "a\nb");
       c->change_mask = XOLTLOG_CFG_MASK_OID_NAMES;
     },
     0, "OIDNames=a\nb; AppMsgLogging=ON", 6, ""},
    {"the mark writes every key but the directory", "11",
     [](XoltLogCfg* c) {
       texts(c);
       xoltLogCfgSetDirectory(c, "/d", nullptr);
       c->change_mask = 0;
       xoltLogCfgDisableAppMsgLogging(c);
     },
     0,
     "OIDNames=; L10nLib=lib; L10nResource=res; L10nResourceDir=/r; DebugLevel=0; "
     "DiagnosticLevel=0; DynaReloadInSec=0; LogToStdout=false; LogToStderr=false; "
     "LogToOslog=false; RolloverMode=None; LogRecycle=false; MaxLogFileSizeKB=10240; "
     "RolloverAtLocalTime=00:00; RolloverPeriodInSeconds=43200; NumberOfLogFiles=-1; "
     "AppMsgLogging=OFF; NtEventLogSourceName=Application; NtEventLogCategory=0"},
    {"the mark stops at an unset L10n text", "13",
     [](XoltLogCfg* c) {
       xoltLogCfgSetL10nLib(c, "lib");
       xoltLogCfgEnableAppMsgLogging(c);
     },
     3, "OIDNames=; L10nLib=lib"},
    {"logset: no L10n keys, a file name", "LOGSET.set",
     [](XoltLogCfg* c) {
       texts(c);
       xoltLogCfgSetLogsetFilename(c, "file");
       xoltLogCfgSetLogsetOIDDiagLogging(c, "3");
       xoltLogCfgSetDebugLevel(c, 5);
     },
     0, "DebugLevel=5; AppMsgLogging=ON; OIDDiagLogging=3; FileName=file"},
    {"logset: FileName is not removed, the rest is written", "LOGSET.set",
     [](XoltLogCfg* c) {
       xoltLogCfgSetNtEventSource(c, "Source");
       c->removal_mask = XOLTLOG_CFG_MASK_LOGSET_FILE_NAME;
     },
     61, "DebugLevel=5; OIDDiagLogging=3; FileName=file; NtEventLogSourceName=Source"},
    {"logset: the mark stops at an unset OID list before FileName", "LOGSET.mark",
     [](XoltLogCfg* c) {
       texts(c);
       xoltLogCfgSetRolloverMode(c, 2);
       c->change_mask = 0;
       xoltLogCfgEnableAppMsgLogging(c);
     },
     3,
     "OIDNames=; DebugLevel=0; DiagnosticLevel=0; DynaReloadInSec=0; LogToStdout=false; "
     "LogToStderr=false; LogToOslog=false; RolloverMode=LocalTime; LogRecycle=false; "
     "MaxLogFileSizeKB=10240; RolloverAtLocalTime=00:00; RolloverPeriodInSeconds=43200; "
     "NumberOfLogFiles=-1; AppMsgLogging=ON; OIDAppMsgLogging=1; OIDDebugLogging=2"},
    {"logset: the default one", "LOGSET.Default",
     [](XoltLogCfg* c) { xoltLogCfgSetDirectory(c, "/sets", nullptr); }, 0, "LogDirectory=/sets/"},
};

TEST_P(ConfigWrite, WritesAndRemovesTheMarkedKeysInOrder) {
  for (const Write& row : kWrites) {
    const std::string section = row.section;
    const bool is_logset = section.starts_with("LOGSET.");
    const std::string logset_name = is_logset ? section.substr(7) : "";
    const uint32_t originator =
        section == "Default" ? 112u : static_cast<uint32_t>(std::strtoul(row.section, nullptr, 10));
    Record record(kProduct, originator, is_logset ? logset_name.c_str() : nullptr);
    row.change(&record.cfg);
    const uint32_t result = is_logset
                                ? xoltLogWritelogSetCfg(kProduct, logset_name.c_str(), &record.cfg)
                                : xoltLogWriteCfg(kProduct, originator, &record.cfg);
    const bool differs = !registry() && row.file_view != nullptr;
    EXPECT_EQ(result, differs ? row.file_result : row.result) << row.what;
    EXPECT_EQ(is_logset ? logset(kProduct, logset_name) : this->section(kProduct, section),
              differs ? row.file_view : row.view)
        << row.what;
  }
  // Neither the default originator's number nor the default logset is a
  // section of its own.
  EXPECT_EQ(section(kProduct, "112"), registry() ? "<2>" : "");
}

TEST_P(ConfigWrite, RefusesArgumentsUnregisteredProductsAndStoresThatCannotBeMade) {
  Record unmarked(kProduct, 0, "set");
  EXPECT_EQ(xoltLogWritelogSetCfg(kProduct, "set", &unmarked.cfg), 61u);
  EXPECT_EQ(logset(kProduct, "set"), "<2>");  // nothing opened, nothing made

  const std::string blocked =
      registry() ? "SOFTWARE\\..\\P14" : root_.file("etc/p12.conf/p14.conf");
  Record record(kProduct, 5);
  ASSERT_EQ(xoltLogWriteCfg(kProduct, 5, &record.cfg), 0u);  // p12.conf is now a file
  ASSERT_EQ(xoltLogAddProductCfg(14, "q", blocked.c_str()), 0u);
  xoltLogCfgSetDebugLevel(&record.cfg, 1);
  const struct {
    uint32_t product, originator;
    XoltLogCfg* cfg;
    uint32_t result;
  } cases[] = {{0, 5, &record.cfg, 3},
               {kProduct, 0, &record.cfg, 3},
               {kProduct, 5, nullptr, 3},
               {13, 5, &record.cfg, 6},
               {14, 5, &record.cfg, 1}};
  for (const auto& row : cases) {
    EXPECT_EQ(xoltLogWriteCfg(row.product, row.originator, row.cfg), row.result);
    EXPECT_EQ(xoltLogWritelogSetCfg(row.product, row.originator == 0 ? nullptr : "s", row.cfg),
              row.result);
  }
  EXPECT_EQ(section(kProduct, "5"), "");
}

}  // namespace
