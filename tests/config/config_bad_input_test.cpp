// Stores the readers must survive: store files edited by hand, registry
// values of the wrong type, texts longer than the record's buffers and
// registrations that lead nowhere. Each is skipped or refused with its
// documented result.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

#include "config/read_fixture.h"
#include "xoltlog/config_read.h"
#include "xoltlog/frame.h"

namespace xoltlog::test {
namespace {

using Names = std::vector<std::string>;

class HandEditedFiles : public ReadFixture {
 protected:
  void SetUp() override {
    use({Backend::kFile, Backend::kFile});
    ASSERT_EQ(mkdir(root_.file("etc").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(root_.file("etc/adir.conf").c_str(), 0755), 0);
    write(registration(),
          {"# registrations", "12.Configuration=" + config_location(12), "12.Names=Prod,Product",
           "garbage line without separators", "=novalue", "x.y",
           "13.Configuration=" + root_.file("etc/missing.conf"),
           "14.Configuration=" + root_.file("etc/adir.conf"),
           "abc.Configuration=" + config_location(12), "15.Names=NoConfiguration"});
    write(config_location(12),
          {"# hand made", "Default.LogDirectory=/var/log/prod", "Default.DebugLevel=2",
           "Default.DebugLevel=5", "Default.MaxLogFileSizeKB=big", "Default.NumberOfLogFiles=-1",
           "Default.RolloverPeriodInSeconds=99999999999", "Default.DiagnosticLevel=12",
           "Default.LogToStdout=yes", "Default.LogToStderr=TRUE",
           "Default.RolloverAtLocalTime=25:00", "Default.OIDNames=a=b", "junk", ".=", "  # note",
           "7.DebugLevel=3", "8.DebugLevel=4", "7.DiagnosticLevel=1", "LOGSET.web.LogDirectory=web",
           "LOGSET.Default.LogDirectory=/var/log/sets", "LOGSET.web.FileName=webfile",
           "LOGSET.Default.LogDirectory=/elsewhere", "9.OIDNames=" + std::string(600, 'n'),
           "LOGSET.=x"});
  }
  static void write(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary);
    for (const std::string& line : lines) {
      out << line << "\r\n";
    }
  }
};

TEST_F(HandEditedFiles, JunkIsSkippedAndTheFirstOfTwoKeysCounts) {
  Cfg read;
  ASSERT_EQ(xoltLogReadCfg(12, 7, &read.cfg), 0u);
  EXPECT_EQ(describe(read.cfg),
            "LogDirectory=/var/log/prod/; OIDNames=a; Names=Prod,Product; L10nLib=null; "
            "L10nResource=null; L10nResourceDir=null; DebugLevel=3; DiagnosticLevel=1; "
            "DynaReloadInSec=0; LogToStdout=0; LogToStderr=0; LogToOslog=0; AppMsgLogging=1; "
            "OIDAppMsgLogging=null; OIDDebugLogging=null; OIDDiagLogging=null; RolloverMode=0; "
            "LogRecycle=0; MaxLogFileSizeKB=10240; RolloverAtLocalTime=0; "
            "RolloverPeriodInSeconds=4294967295; NumberOfLogFiles=4294967295; "
            "NtEventLogSourceName=Application; NtEventLogCategory=0; LogFileSDDL=null; "
            "LogsetName=null; LogsetMarker=0; FileName=null; ChangeMask=0");
  Cfg web;
  ASSERT_EQ(xoltLogReadlogsetCfg(12, "web", &web.cfg), 0u);
  EXPECT_EQ(field_of(web.cfg, "LogDirectory") + " " + field_of(web.cfg, "FileName"),
            "/var/log/sets/web/ webfile");
}

TEST_F(HandEditedFiles, SplitSectionsGiveOneRecordEach) {
  Records one(20), all(20);
  EXPECT_EQ(xoltLogReadProdIDCfg(nullptr, 12, 20, one.data(), &one.count), 0u);
  const Names expected{"12/112", "12/7", "12/8", "12/9", "12/L:Default", "12/L:web"};
  EXPECT_EQ(one.summary(), expected);
  EXPECT_EQ(xoltLogReadAllCfg(nullptr, 20, all.data(), &all.count), 0u);
  EXPECT_EQ(all.summary(), expected);
  // The over-long line is read no further than a value can reach.
  EXPECT_LT(field_of(one[3], "OIDNames").size(), 600u);
}

TEST_F(HandEditedFiles, RegistrationsThatLeadNowhere) {
  struct Row {
    std::uint32_t product;
    std::uint32_t read;
    std::uint32_t product_records;
    std::uint32_t path;
  } const rows[] = {
      // A missing file or a directory holds no sections: "Default" values,
      // and no records since neither its sections nor its logsets open.
      {13, 0, 6, 0},
      {14, 0, 6, 0},
      {15, 6, 39, 6},
      // The key "abc" reads as product 0, which nothing registers.
      {0, 3, 39, 6},
  };
  for (const Row& row : rows) {
    Cfg read;
    Records records(4);
    char* path = nullptr;
    EXPECT_EQ(xoltLogReadCfg(row.product, 7, &read.cfg), row.read) << row.product;
    EXPECT_EQ(xoltLogReadProdIDCfg(nullptr, row.product, 4, records.data(), &records.count),
              row.product_records)
        << row.product;
    EXPECT_EQ(records.count, 0u) << row.product;
    EXPECT_EQ(GetProductCfgPath(nullptr, row.product, &path), row.path) << row.product;
    xoltLogFree(path);
  }
  Cfg missing;
  ASSERT_EQ(xoltLogReadCfg(13, 7, &missing.cfg), 0u);
  EXPECT_EQ(field_of(missing.cfg, "MaxLogFileSizeKB"), "10240");
}

class RegistryValues : public ReadFixture {
 protected:
  void SetUp() override { use({Backend::kRegistry, Backend::kRegistry}); }
};

TEST_F(RegistryValues, WrongTypesAreSkipped) {
  register_product(12);
  const Section defaults = section(12, "Default");
  put(defaults, "DebugLevel", "3");
  put_number(defaults, "LogDirectory", 7);
  put_number(defaults, "LogToStdout", 1);
  put_number(defaults, "AppMsgLogging", 0);
  put(defaults, "LogToStderr", "TRUE");
  put(defaults, "MaxLogFileSizeKB", "2048");
  Cfg read;
  ASSERT_EQ(xoltLogReadCfg(12, 112, &read.cfg), 0u);
  EXPECT_EQ(field_of(read.cfg, "DebugLevel") + field_of(read.cfg, "LogDirectory") + "|" +
                field_of(read.cfg, "LogToStdout") + field_of(read.cfg, "AppMsgLogging") +
                field_of(read.cfg, "LogToStderr") + "|" + field_of(read.cfg, "MaxLogFileSizeKB"),
            "0|011|10240");
}

TEST_F(RegistryValues, LongTextsStayWithinTheRecord) {
  register_product(12, std::string(2000, 'P'));
  const Section defaults = section(12, "Default");
  put(defaults, "LogDirectory", "/" + std::string(1100, 'd'));
  put(defaults, "OIDNames", std::string(2000, 'o'));
  put(defaults, "NtEventLogSourceName", std::string(300, 's'));
  put(defaults, "L10nLib", std::string(5000, 'l'));
  put(section(12, "8"), "LogDirectory", std::string(1020, 'r'));
  register_product(13);
  put(section(13, "Default"), "LogDirectory", "/var/log");
  put(section(13, "8"), "LogDirectory", std::string(1020, 'r'));
  Cfg defaults_read, appended, refused;
  ASSERT_EQ(xoltLogReadCfg(12, 112, &defaults_read.cfg), 0u);
  EXPECT_EQ(field_of(defaults_read.cfg, "LogDirectory"), "");
  EXPECT_EQ(field_of(defaults_read.cfg, "OIDNames"), std::string(1024, 'o'));
  EXPECT_EQ(field_of(defaults_read.cfg, "Names"), std::string(1024, 'P'));
  EXPECT_EQ(field_of(defaults_read.cfg, "NtEventLogSourceName"), std::string(79, 's'));
  EXPECT_EQ(field_of(defaults_read.cfg, "L10nLib"), std::string(5000, 'l'));
  ASSERT_EQ(xoltLogReadCfg(12, 8, &appended.cfg), 0u);
  EXPECT_EQ(field_of(appended.cfg, "LogDirectory"), std::string(1020, 'r') + "/");
  // A relative part that would not fit leaves the inherited directory.
  ASSERT_EQ(xoltLogReadCfg(13, 8, &refused.cfg), 0u);
  EXPECT_EQ(field_of(refused.cfg, "LogDirectory"), "/var/log/");
}

TEST_F(RegistryValues, ALongSectionNameEndsOnlyItsOwnCollector) {
  register_product(12);
  put_number(section(12, "Default"), "DebugLevel", 1);
  put_number(section(12, "7"), "DebugLevel", 2);
  put_number(section(12, std::string(100, '8')), "DebugLevel", 3);
  put_number(section(12, "9"), "DebugLevel", 4);
  put(logset(12, "web"), "FileName", "w");
  Records records(10);
  EXPECT_EQ(xoltLogReadProdIDCfg(nullptr, 12, 10, records.data(), &records.count), 0u);
  EXPECT_EQ(records.summary(), (Names{"12/112", "12/7", "12/L:web"}));
}

}  // namespace
}  // namespace xoltlog::test
