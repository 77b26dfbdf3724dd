// Reading one originator's or one logset's record through xoltLogReadCfg
// and xoltLogReadlogsetCfg: every key's rule, inheritance from the
// "Default" section and the "Default" logset, with registrations and
// sections in the registry stand-in, in store files, and mixed.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "config/read_fixture.h"
#include "frame/library_lock.h"
#include "support/syscall_override.h"
#include "xoltlog/config_read.h"

namespace xoltlog::test {
namespace {

constexpr std::uint32_t kProduct = 12;

INSTANTIATE_TEST_SUITE_P(Layouts, ReadBoth, all_layouts(), layout_name);

TEST_P(ReadBoth, EveryKeyOfTheDefaultSectionIsTaken) {
  register_product(kProduct, "Prod,Product");
  const Section defaults = section(kProduct, "Default");
  for (const auto& [key, text] : std::vector<std::pair<const char*, const char*>>{
           {"LogDirectory", "/var/log//prod"}, {"OIDNames", "Main,Main service"},
           {"L10nLib", "msgs"}, {"L10nResource", "res"}, {"L10nResourceDir", "/usr/share/res"},
           {"AppMsgLogging", "OFF"}, {"OIDAppMsgLogging", "1,2"}, {"OIDDebugLogging", "3"},
           {"OIDDiagLogging", "4"}, {"RolloverMode", "FileSize | Periodic"},
           {"RolloverAtLocalTime", "7:5"}, {"NtEventLogSourceName", "ProdSvc"},
           {"LogFileSDDL", "D:P(A;;GA;;;SY)"}, {"FileName", "ignored"}}) {
    put(defaults, key, text);
  }
  for (const auto& [key, number] : std::vector<std::pair<const char*, std::uint32_t>>{
           {"DebugLevel", 4}, {"DiagnosticLevel", 6}, {"DynaReloadInSec", 30},
           {"MaxLogFileSizeKB", 2048}, {"RolloverPeriodInSeconds", 3600},
           {"NumberOfLogFiles", 8}, {"NtEventLogCategory", 3}}) {
    put_number(defaults, key, number);
  }
  for (const char* key : {"LogToStdout", "LogToStderr", "LogToOslog", "LogRecycle"}) {
    put_bool(defaults, key, true);
  }
  const std::string expected =
      "LogDirectory=/var/log/prod/; OIDNames=Main,Main service; Names=Prod,Product; "
      "L10nLib=msgs; L10nResource=res; L10nResourceDir=/usr/share/res; DebugLevel=4; "
      "DiagnosticLevel=6; DynaReloadInSec=30; LogToStdout=1; LogToStderr=1; LogToOslog=1; "
      "AppMsgLogging=0; OIDAppMsgLogging=1,2; OIDDebugLogging=3; OIDDiagLogging=4; "
      "RolloverMode=5; LogRecycle=1; MaxLogFileSizeKB=2048; RolloverAtLocalTime=25500; "
      "RolloverPeriodInSeconds=3600; NumberOfLogFiles=8; NtEventLogSourceName=ProdSvc; "
      "NtEventLogCategory=3; LogFileSDDL=D:P(A;;GA;;;SY); LogsetName=null; LogsetMarker=0; "
      "FileName=null; ChangeMask=0";
  // An originator without a section of its own has the "Default" values.
  for (const std::uint32_t originator : {112u, 7u}) {
    Cfg read;
    EXPECT_EQ(xoltLogReadCfg(kProduct, originator, &read.cfg), 0u);
    EXPECT_EQ(describe(read.cfg), expected) << originator;
    EXPECT_EQ(read.cfg.product_id, kProduct);
    EXPECT_EQ(read.cfg.originator_id, originator);
  }
}

TEST_P(ReadBoth, OriginatorSectionsOverrideAndInheritTheDefaultSection) {
  register_product(kProduct);
  const Section defaults = section(kProduct, "Default");
  put(defaults, "LogDirectory", "/var/log/prod");
  put_number(defaults, "DebugLevel", 3);
  put_bool(defaults, "LogToStdout", true);
  put_bool(defaults, "LogRecycle", true);
  put_number(defaults, "NtEventLogCategory", 9);
  put(section(kProduct, "7"), "LogDirectory", "sub/dir");
  put_number(section(kProduct, "7"), "DebugLevel", 5);
  put_bool(section(kProduct, "7"), "LogToStdout", false);
  put(section(kProduct, "8"), "LogDirectory", "/srv/abs");
  put(section(kProduct, "9"), "LogDirectory", "sub//x/");
  put_number(section(kProduct, "112"), "DebugLevel", 1);  // never a section of its own

  struct Row {
    std::uint32_t originator;
    const char* directory;
    const char* debug_level;
    const char* to_stdout;
  } const rows[] = {
      {112, "/var/log/prod/", "3", "1"},      {7, "/var/log/prod/sub/dir/", "5", "0"},
      {8, "/srv/abs/", "3", "1"},             {9, "/var/log/prod/sub/x/", "3", "1"},
      {10, "/var/log/prod/", "3", "1"},
  };
  for (const Row& row : rows) {
    Cfg read;
    EXPECT_EQ(xoltLogReadCfg(kProduct, row.originator, &read.cfg), 0u);
    EXPECT_EQ(field_of(read.cfg, "LogDirectory"), row.directory) << row.originator;
    EXPECT_EQ(field_of(read.cfg, "DebugLevel"), row.debug_level) << row.originator;
    EXPECT_EQ(field_of(read.cfg, "LogToStdout"), row.to_stdout) << row.originator;
    // One record read from both sections inherits every field.
    EXPECT_EQ(field_of(read.cfg, "LogRecycle") + field_of(read.cfg, "NtEventLogCategory"), "19");
  }
}

TEST_P(ReadBoth, LogsetsInheritTheDefaultLogset) {
  register_product(kProduct);
  const Section defaults = logset(kProduct, "Default");
  put(defaults, "LogDirectory", "/var/log/sets");
  put(defaults, "FileName", "common");
  put_number(defaults, "DebugLevel", 2);
  put(defaults, "OIDDebugLogging", "1,2");
  put(defaults, "NtEventLogSourceName", "Sets");
  put(logset(kProduct, "web"), "LogDirectory", "web");
  put_number(logset(kProduct, "web"), "DiagnosticLevel", 4);
  put(logset(kProduct, "batch"), "LogDirectory", "/srv/batch");
  put(logset(kProduct, "batch"), "FileName", "batchfile");
  put_number(logset(kProduct, "batch"), "DebugLevel", 5);
  // Only keys that the count leaves out: the logset is not there.
  put(logset(kProduct, "quiet"), "NtEventLogSourceName", "Quiet");

  struct Row {
    const char* logset;
    std::uint32_t result;
    const char* directory;
    const char* file_name;
    const char* debug_level;
  } const rows[] = {
      {"Default", 0, "/var/log/sets/", "common", "2"},
      {"web", 0, "/var/log/sets/web/", "web", "2"},
      {"batch", 0, "/srv/batch/", "batchfile", "5"},
      {"quiet", 6, "/var/log/sets/", "quiet", "2"},
      {"none", 6, "/var/log/sets/", "none", "2"},
  };
  for (const Row& row : rows) {
    Cfg read;
    EXPECT_EQ(xoltLogReadlogsetCfg(kProduct, row.logset, &read.cfg), row.result) << row.logset;
    EXPECT_EQ(field_of(read.cfg, "LogDirectory"), row.directory) << row.logset;
    EXPECT_EQ(field_of(read.cfg, "FileName"), row.file_name) << row.logset;
    EXPECT_EQ(field_of(read.cfg, "DebugLevel"), row.debug_level) << row.logset;
    EXPECT_EQ(field_of(read.cfg, "LogsetName"), row.logset);
    EXPECT_EQ(field_of(read.cfg, "LogsetMarker") + field_of(read.cfg, "OIDDebugLogging") +
                  field_of(read.cfg, "Names") + field_of(read.cfg, "ChangeMask"),
              "11,2Prod,Product0")
        << row.logset;
    EXPECT_EQ(read.cfg.originator_id, 0u);
  }
}

TEST_P(ReadBoth, ALogsetWithoutTheDefaultLogsetStartsFromTheInitialValues) {
  register_product(kProduct);
  put(logset(kProduct, "web"), "OIDNames", "Web");
  Cfg read, defaults;
  EXPECT_EQ(xoltLogReadlogsetCfg(kProduct, "web", &read.cfg), 0u);
  EXPECT_EQ(field_of(read.cfg, "OIDNames") + "|" + field_of(read.cfg, "FileName") + "|" +
                field_of(read.cfg, "MaxLogFileSizeKB"),
            "Web|web|10240");
  EXPECT_EQ(xoltLogReadlogsetCfg(kProduct, "Default", &defaults.cfg), 6u);
}

// Each row's value goes into an originator section of its own below a
// "Default" section that sets every key the rows touch.
TEST_P(ReadBoth, RefusedValuesLeaveTheInheritedOnes) {
  register_product(kProduct);
  const Section defaults = section(kProduct, "Default");
  for (const auto& [key, number] : std::vector<std::pair<const char*, std::uint32_t>>{
           {"DebugLevel", 3}, {"DiagnosticLevel", 3}, {"DynaReloadInSec", 60},
           {"MaxLogFileSizeKB", 2048}, {"RolloverPeriodInSeconds", 600},
           {"NumberOfLogFiles", 5}, {"NtEventLogCategory", 9}}) {
    put_number(defaults, key, number);
  }
  for (const auto& [key, text] : std::vector<std::pair<const char*, const char*>>{
           {"RolloverAtLocalTime", "01:00"}, {"NtEventLogSourceName", "Base"},
           {"L10nLib", "base"}, {"LogFileSDDL", "D:base"}, {"OIDNames", "base"},
           {"RolloverMode", "FileSize"}, {"LogDirectory", "/base"}}) {
    put(defaults, key, text);
  }
  const bool registry_sections = layout_.configuration == Backend::kRegistry;
  struct TextRow {
    const char* key;
    std::string value;
    std::string expected;
  } const text_rows[] = {
      {"RolloverAtLocalTime", "7:5", "25500"},      {"RolloverAtLocalTime", "23:59", "86340"},
      {"RolloverAtLocalTime", " 7: 5", "25500"},    {"RolloverAtLocalTime", "24:00", "3600"},
      {"RolloverAtLocalTime", "12:60", "3600"},     {"RolloverAtLocalTime", "7", "3600"},
      {"RolloverAtLocalTime", "-1:30", "3600"},     {"RolloverAtLocalTime", "7 :5", "3600"},
      {"RolloverAtLocalTime", "99999999999:1", "3600"},
      {"AppMsgLogging", "ON", "1"},                 {"AppMsgLogging", "on", "0"},
      {"AppMsgLogging", "ONE", "0"},                {"AppMsgLogging", "ON x", "0"},
      // The store file gives its values back without trailing blanks.
      {"AppMsgLogging", "ON ", registry_sections ? "0" : "1"},
      {"RolloverMode", "FileSize | LocalTime", "3"}, {"RolloverMode", "LocalTime | Periodic", "2"},
      {"RolloverMode", "None", "0"},                {"RolloverMode", "filesize", "0"},
      {"RolloverMode", "FileSize", "1"},            {"RolloverMode", "Periodic", "4"},
      {"NtEventLogSourceName", "", "Base"},         {"NtEventLogSourceName", std::string(100, 'S'),
                                                     std::string(79, 'S')},
      {"L10nLib", "", "base"},                      {"LogFileSDDL", "", ""},
      {"OIDNames", "", "base"},                     {"LogDirectory", "", "/base/"},
  };
  std::uint32_t originator = 1000;
  for (const TextRow& row : text_rows) {
    put(section(kProduct, std::to_string(++originator)), row.key, row.value);
    Cfg read;
    EXPECT_EQ(xoltLogReadCfg(kProduct, originator, &read.cfg), 0u);
    EXPECT_EQ(field_of(read.cfg, row.key), row.expected) << row.key << " '" << row.value << "'";
  }
  struct NumberRow {
    const char* key;
    std::uint32_t value;
    const char* expected;
  } const number_rows[] = {
      {"MaxLogFileSizeKB", 0, "2048"},          {"RolloverPeriodInSeconds", 0, "600"},
      {"NumberOfLogFiles", 0, "5"},             {"NumberOfLogFiles", 4294967295u, "4294967295"},
      {"RolloverPeriodInSeconds", 4294967295u, "4294967295"},
      {"DebugLevel", 7, "3"},                   {"DebugLevel", 6, "6"},
      {"DiagnosticLevel", 0, "0"},              {"DynaReloadInSec", 0x80000000u, "60"},
      {"DynaReloadInSec", 0x7FFFFFFFu, "2147483647"}, {"NtEventLogCategory", 65536, "9"},
      {"NtEventLogCategory", 65537, "1"},
  };
  for (const NumberRow& row : number_rows) {
    put_number(section(kProduct, std::to_string(++originator)), row.key, row.value);
    Cfg read;
    EXPECT_EQ(xoltLogReadCfg(kProduct, originator, &read.cfg), 0u);
    EXPECT_EQ(field_of(read.cfg, row.key), row.expected) << row.key << " " << row.value;
  }
}

TEST_P(ReadBoth, UnregisteredProductsAndBadArguments) {
  register_product(kProduct);
  put(registration_key("13"), "Names", "NoConfiguration");
  put(registration_key("14"), "Configuration", "");
  Cfg read;
  Records records(4);
  std::uint64_t count = 7;
  struct Row {
    const char* what;
    std::uint32_t result;
    std::uint32_t got;
  } const rows[] = {
      {"registered, no sections", 0, xoltLogReadCfg(kProduct, 7, &read.cfg)},
      {"not registered", 6, xoltLogReadCfg(99, 7, &read.cfg)},
      {"no Configuration value", 6, xoltLogReadCfg(13, 7, &read.cfg)},
      {"empty Configuration value", 6, xoltLogReadCfg(14, 7, &read.cfg)},
      {"logset of an unregistered product", 6, xoltLogReadlogsetCfg(99, "web", &read.cfg)},
      {"zero product", 3, xoltLogReadCfg(0, 7, &read.cfg)},
      {"zero originator", 3, xoltLogReadCfg(kProduct, 0, &read.cfg)},
      {"null record", 3, xoltLogReadCfg(kProduct, 7, nullptr)},
      {"logset zero product", 3, xoltLogReadlogsetCfg(0, "web", &read.cfg)},
      {"null logset", 3, xoltLogReadlogsetCfg(kProduct, nullptr, &read.cfg)},
      {"logset null record", 3, xoltLogReadlogsetCfg(kProduct, "web", nullptr)},
      {"null array", 3, xoltLogReadProdIDCfg(nullptr, kProduct, 4, nullptr, &count)},
      {"null count", 3, xoltLogReadProdIDCfg(nullptr, kProduct, 4, records.data(), nullptr)},
      {"all, null array", 3, xoltLogReadAllCfg(nullptr, 4, nullptr, &count)},
      {"all, null count", 3, xoltLogReadAllCfg(nullptr, 4, records.data(), nullptr)},
      {"null level", 3, GetProductLoggingLevel(nullptr, kProduct, nullptr)},
      {"null path", 3, GetProductCfgPath(nullptr, kProduct, nullptr)},
      {"null tools directory", 3, xoltLogCfgGetToolsResDir(nullptr)},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.got, row.result) << row.what;
  }
  // Without a registration the record still holds the initial values.
  Cfg unregistered;
  EXPECT_EQ(xoltLogReadCfg(99, 7, &unregistered.cfg), 6u);
  EXPECT_EQ(field_of(unregistered.cfg, "MaxLogFileSizeKB") +
                field_of(unregistered.cfg, "NtEventLogSourceName"),
            "10240Application");
}

// The reader that holds the library lock at every file the store opens.
TEST_P(ReadBoth, ReadersHoldTheLibraryLockUnderTheirOwnNames) {
  register_product(kProduct);
  put_number(section(kProduct, "Default"), "DebugLevel", 1);
  put_number(logset(kProduct, "Default"), "DebugLevel", 1);
  static std::set<std::string> holders;
  holders.clear();
  Cfg read;
  XoltLogCfg* slots[16] = {};
  std::uint64_t first = 0, second = 0;
  {
    SyscallOverride seam;
    seam.table().open = [](const char* path, int flags, mode_t mode) {
      const XoltLogLock& lock = library_lock();
      holders.insert(lock.depth > 0 ? lock.owners[lock.depth - 1].caller : "<none>");
      return platform::posix::real_syscalls().open(path, flags, mode);
    };
    EXPECT_EQ(xoltLogReadCfg(kProduct, 7, &read.cfg), 0u);
    EXPECT_EQ(xoltLogReadlogsetCfg(kProduct, "Default", &read.cfg), 0u);
    EXPECT_EQ(xoltLogReadProdIDCfg(nullptr, kProduct, 8, slots, &first), 0u);
    EXPECT_EQ(xoltLogReadAllCfg(nullptr, 8, slots + 8, &second), 0u);
  }
  EXPECT_EQ(holders, (std::set<std::string>{"xoltLogReadCfg()", "xoltLogReadlogsetCfg()",
                                            "xoltLogReadProdIDCfg()", "xoltLogReadAllCfg()"}));
  EXPECT_EQ(first + second, 4u);
  for (XoltLogCfg* cfg : slots) {
    if (cfg != nullptr) {
      xoltLogFreeCfg(cfg);
      xoltLogFree(cfg);
    }
  }
}

}  // namespace
}  // namespace xoltlog::test
