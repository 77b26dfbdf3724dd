// Collecting, selecting, fetching, copying and deleting log files through
// the exported operations, over a store file that configures product 12.
#include "xoltlog/file_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/record.h"
#include "config/store_layout.h"
#include "logfile/header_line.h"
#include "support/syscall_override.h"
#include "support/temp_dir.h"
#include "xoltlog/config_read.h"
#include "xoltlog/config_write.h"
#include "xoltlog/frame.h"
#include "xoltlog/handle.h"
#include "xoltlog/log.h"

namespace xoltlog::test {
namespace {

namespace fs = std::filesystem;

struct Cfg {
  XoltLogCfg cfg{};
  Cfg(std::uint32_t product, std::uint32_t originator, const char* logset = nullptr) {
    init_config(LibraryLockGuard("test"), &cfg, product, originator, logset);
  }
  ~Cfg() { xoltLogFreeCfg(&cfg); }
};

// The entries a list holds, freed at the end.
struct List {
  XoltLogFileList list{};
  ~List() {
    for (XoltLogFileEntry* entry = list.head; entry != nullptr;) {
      XoltLogFileEntry* next = entry->next;
      xoltLogFree(entry);
      entry = next;
    }
  }
  std::vector<std::string> fetched() {
    std::vector<std::string> names;
    char* path = nullptr;
    while (xoltLogFetchNextFile(&list, &path) == 0) {
      names.push_back(fs::path(path).filename());
      xoltLogFreeBuffer(&path);
    }
    return names;
  }
  std::vector<std::string> collected() const {
    std::vector<std::string> names;
    for (const XoltLogFileEntry* e = list.head; e != nullptr; e = e->next)
      names.push_back(e->file_name);
    return names;
  }
};

class FileLists : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(logs_);
    setenv("XOLTLOG_REGISTRY_ROOT", root_.path().c_str(), 1);
    setenv("XOLTLOG_CFG_LOC", root_.file("xoltlog.conf").c_str(), 1);
    forget_store_location();
    ASSERT_EQ(xoltLogAddProductCfg(12, "p12", root_.file("p12.conf").c_str()), 0u);
    Cfg defaults(12, XOLTLOG_DEFAULT_ORIGINATOR);
    xoltLogCfgSetDirectory(&defaults.cfg, (logs_ + "/").c_str(), nullptr);
    xoltLogCfgSetNumberOfLogFiles(&defaults.cfg, 3);
    ASSERT_EQ(xoltLogWriteCfg(12, XOLTLOG_DEFAULT_ORIGINATOR, &defaults.cfg), 0u);
    Cfg nightly(12, 0, "nightly");
    xoltLogCfgSetDirectory(&nightly.cfg, (logs_ + "/").c_str(), nullptr);
    xoltLogCfgSetNumberOfLogFiles(&nightly.cfg, 3);
    ASSERT_EQ(xoltLogWritelogSetCfg(12, "nightly", &nightly.cfg), 0u);
  }
  void TearDown() override {
    unsetenv("XOLTLOG_REGISTRY_ROOT");
    unsetenv("XOLTLOG_CFG_LOC");
    forget_store_location();
  }

  // A log file with a header of version (ordinary or logset) from host.
  // A version the library does not know is written as the logset header
  // with its number changed.
  void make_file(const std::string& name, std::uint32_t version = XOLTLOG_HEADER_VERSION,
                 const char* host = "alpha") const {
    const bool known = version <= XOLTLOG_HEADER_VERSION_LOGSET;
    XoltLogHeader header =
        make_header({12, 3, version != XOLTLOG_HEADER_VERSION}, 1700000000, 0, host);
    char line[kHeaderLineCapacity];
    std::string text(line, format_header_line(header, line));
    if (!known) text.replace(text.find("65544"), 5, std::to_string(version));
    std::ofstream(logs_ + "/" + name) << text << "record\n";
  }
  std::string ordinary(std::uint32_t originator, int counter) const {
    char name[64];
    std::snprintf(name, sizeof name, "12-%u-1-260301-%010d.log", originator, counter);
    return name;
  }

  TempDir root_;
  std::string logs_ = root_.file("logs");
};

TEST_F(FileLists, CollectingTakesEachFileOnceOldestFirst) {
  for (int i = 1; i <= 3; ++i) make_file(ordinary(3, i));
  make_file(ordinary(4, 1));
  make_file("13-3-1-260301-0000000001.log");
  const std::string late = ordinary(3, 9);
  make_file(late);
  fs::last_write_time(logs_ + "/" + late,
                      fs::file_time_type::clock::now() + std::chrono::hours(25));
  Cfg one(12, 3);
  Cfg same(12, 3);
  xoltLogCfgSetDirectory(&one.cfg, (logs_ + "/").c_str(), nullptr);
  xoltLogCfgSetDirectory(&same.cfg, (logs_ + "/").c_str(), nullptr);
  XoltLogCfg* records[] = {&one.cfg, nullptr, &same.cfg};
  List list;
  ASSERT_EQ(GetLogFiles(records, 3, &list.list), 0u);
  std::vector<std::string> names = list.collected();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{ordinary(3, 1), ordinary(3, 2), ordinary(3, 3)}));
  EXPECT_EQ(list.list.cursor, list.list.head);

  // Logset files sort by the time in their name.
  Cfg nightly(12, 0, "nightly");
  xoltLogCfgSetDirectory(&nightly.cfg, (logs_ + "/").c_str(), nullptr);
  for (const char* stamp : {"260301120000", "260301090000", "260301100000"}) {
    make_file(std::string("12-nightly-") + stamp + ".log", XOLTLOG_HEADER_VERSION_LOGSET);
  }
  XoltLogCfg* logset[] = {&nightly.cfg};
  List sets;
  ASSERT_EQ(GetLogFiles(logset, 1, &sets.list), 0u);
  EXPECT_EQ(sets.collected(),
            (std::vector<std::string>{"12-nightly-260301090000.log", "12-nightly-260301100000.log",
                                      "12-nightly-260301120000.log"}));
  List none;
  EXPECT_EQ(GetLogFiles(records, 0, &none.list), 45u);
  EXPECT_EQ(none.list.head, nullptr);
  EXPECT_EQ(GetLogFiles(nullptr, 1, &none.list), 3u);
  EXPECT_EQ(GetLogFiles(records, 1, nullptr), 3u);
}

TEST_F(FileLists, AHostQueryReadsTheHeaders) {
  make_file(ordinary(3, 1), XOLTLOG_HEADER_VERSION, "alpha");
  make_file(ordinary(3, 2), XOLTLOG_HEADER_VERSION, "beta");
  Cfg record(12, 3);
  xoltLogCfgSetDirectory(&record.cfg, (logs_ + "/").c_str(), nullptr);
  XoltLogCfg* records[] = {&record.cfg};
  XoltLogQueryNode host{XOLTLOG_QUERY_FIELD, 0, {}, 0, nullptr, nullptr};
  host.value.number = XOLTLOG_QUERY_HOST;
  XoltLogQueryNode beta{XOLTLOG_QUERY_STRING, 0, {}, 0, nullptr, nullptr};
  beta.value.text = "beta";
  XoltLogQueryNode query{XOLTLOG_QUERY_EQUAL, 0, {}, 0, &host, &beta};
  List list;
  list.list.query = &query;
  ASSERT_EQ(GetLogFiles(records, 1, &list.list), 0u);
  EXPECT_EQ(list.collected(), std::vector<std::string>{ordinary(3, 2)});
}

TEST_F(FileLists, SurplusLogsetFilesAreFetchedYoungestFirstAndUnreadableOnesSkipped) {
  for (const char* stamp :
       {"260301090000", "260301100000", "260301110000", "260301120000", "260301130000"}) {
    make_file(std::string("12-nightly-") + stamp + ".log", XOLTLOG_HEADER_VERSION_LOGSET);
  }
  List list;
  ASSERT_EQ(xoltLogGetManageableLogFilesSL(12, "nightly", &list.list), 0u);
  EXPECT_EQ(list.fetched(), (std::vector<std::string>{"12-nightly-260301100000.log",
                                                      "12-nightly-260301090000.log"}));

  // An empty file and one of an unsupported version among the surplus.
  std::ofstream(logs_ + "/12-nightly-260301080000.log").flush();
  make_file("12-nightly-260301070000.log", 65545);
  List again;
  ASSERT_EQ(xoltLogGetManageableLogFilesSL(12, "nightly", &again.list), 0u);
  EXPECT_EQ(again.fetched().size(), 2u);
  EXPECT_EQ(again.list.unsupported_header, 1u);
  XoltLogFileEntry* entry = nullptr;
  EXPECT_EQ(xoltLogFetchNextFileEx(&again.list, &entry), 9u);
  EXPECT_EQ(xoltLogFetchNextFileEx(&again.list, nullptr), 3u);
  List refused;
  EXPECT_EQ(xoltLogGetManageableLogFilesSL(0, "nightly", &refused.list), 3u);
}

TEST_F(FileLists, OrdinarySeriesAreMeasuredAgainstTheirRecords) {
  for (int i = 1; i <= 5; ++i) make_file(ordinary(3, i));
  make_file(ordinary(4, 1));
  List list;
  ASSERT_EQ(xoltLogGetManageableLogFiles(12, 3, &list.list), 0u);
  std::vector<std::string> surplus = list.fetched();
  EXPECT_EQ(surplus.size(), 2u);
  for (const std::string& name : surplus) EXPECT_EQ(name.rfind("12-3-", 0), 0u) << name;
  // Originators 3 and 4 have no section of their own: with 0 and 0 only
  // files of writers with a record of their own are looked at.
  List all;
  EXPECT_EQ(xoltLogGetManageableLogFiles(0, 0, &all.list), 45u);
  // With the initial number of log files nothing is surplus.
  Cfg defaults(12, XOLTLOG_DEFAULT_ORIGINATOR);
  xoltLogCfgSetNumberOfLogFiles(&defaults.cfg, 4294967295u);
  ASSERT_EQ(xoltLogWriteCfg(12, XOLTLOG_DEFAULT_ORIGINATOR, &defaults.cfg), 0u);
  List unlimited;
  ASSERT_EQ(xoltLogGetManageableLogFiles(12, 3, &unlimited.list), 0u);
  EXPECT_TRUE(unlimited.fetched().empty());
  EXPECT_EQ(xoltLogGetManageableLogFiles(12, 3, nullptr), 3u);
  // The read's own failure for a product that is not registered.
  EXPECT_EQ(xoltLogGetManageableLogFiles(99, 3, &unlimited.list), 6u);
}

TEST_F(FileLists, CopiesAreWholeAndNeverOntoTheirSource) {
  const std::string source = logs_ + "/12-3-1-260301-0000000001.log";
  std::string content(2 * 1022 + 456, 'x');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('a' + i % 26);
  std::ofstream(source) << content;
  fs::create_directories(root_.file("copies"));
  const auto copied = [&](const char* name) { return read_file(root_.file("copies") + "/" + name); };
  ASSERT_EQ(xoltLogCopyFile(source.c_str(), root_.file("copies").c_str()), 0u);
  EXPECT_EQ(copied("12-3-1-260301-0000000001.log"), content);
  EXPECT_EQ(xoltLogCopyFile(source.c_str(), logs_.c_str()), 32u);
  EXPECT_EQ(xoltLogCopyFileEx(source.c_str(), logs_.c_str()), 34u);
  EXPECT_EQ(fs::file_size(source), content.size());
  EXPECT_EQ(xoltLogCopyFile(source.c_str(), root_.file("missing").c_str()), 47u);
  EXPECT_EQ(xoltLogCopyFile(root_.file("none.log").c_str(), logs_.c_str()), 32u);
  EXPECT_EQ(xoltLogCopyFile(nullptr, logs_.c_str()), 3u);

  fs::create_symlink(root_.file("elsewhere.log"),
                     root_.file("copies") + "/12-3-1-260301-0000000002.log");
  const std::string second = logs_ + "/12-3-1-260301-0000000002.log";
  std::ofstream(second) << "second";
  EXPECT_EQ(xoltLogCopyFileEx(second.c_str(), root_.file("copies").c_str()), 34u);
  EXPECT_FALSE(fs::exists(root_.file("elsewhere.log")));
  ASSERT_EQ(xoltLogCopyFileEx(source.c_str(), root_.file("copies").c_str()), 0u);
  EXPECT_EQ(copied("12-3-1-260301-0000000001.log"), content);
}

TEST_F(FileLists, DeletingRemovesOnlyLogFilesAndReportsFailuresOnStandardOutput) {
  const std::string log = logs_ + "/12-3-1-260301-0000000001.log";
  const std::string other = root_.file("notes.txt");
  std::ofstream(log) << "x";
  std::ofstream(other) << "x";
  testing::internal::CaptureStdout();
  EXPECT_EQ(xoltLogDeleteFile(log.c_str()), 0u);
  EXPECT_EQ(xoltLogDeleteFile(other.c_str()), 0u);
  EXPECT_EQ(xoltLogDeleteFile(log.c_str()), 0u);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            other + " File Deletion failed\n" + log + " File Deletion failed\n");
  EXPECT_FALSE(fs::exists(log));
  EXPECT_TRUE(fs::exists(other));
  EXPECT_EQ(xoltLogDeleteFile(nullptr), 3u);
}

// Writers of product 12 keep three files when recycling is on; a file
// that cannot be deleted is reported and stays for the next rollover.
TEST_F(FileLists, RecyclingKeepsTheConfiguredNumberOfFilesOfItsOwnSeries) {
  make_file("12-4-1-260301-0000000001.log");
  make_file("13-3-1-260301-0000000001.log");
  const auto series_files = [&](const char* prefix) {
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(logs_)) {
      count += entry.path().filename().string().rfind(prefix, 0) == 0;
    }
    return count;
  };
  const auto log_rollovers = [&](bool recycle, int files) {
    Cfg section(12, 3);
    recycle ? xoltLogCfgEnableLogRecycling(&section.cfg)
            : xoltLogCfgDisableLogRecycling(&section.cfg);
    xoltLogCfgSetRolloverMode(&section.cfg, XOLTLOG_ROLLOVER_FILE_SIZE);
    xoltLogCfgSetMaxFileSize(&section.cfg, 1);
    ASSERT_EQ(xoltLogWriteCfg(12, 3, &section.cfg), 0u);
    XoltLogHandle handle{};
    ASSERT_EQ(xoltLogOpen(12, 3, &handle), 0u);
    for (int i = 0; i < 4 * files; ++i) {
      ASSERT_EQ(xoltLogAppMsg(&handle, 0, 1, 0, "record %d %s", i, std::string(300, 'r').c_str()),
                0u);
    }
    EXPECT_EQ(xoltLogClose(&handle), 0u);
  };
  log_rollovers(false, 5);
  EXPECT_GE(series_files("12-3-"), 5u);
  log_rollovers(true, 2);
  EXPECT_EQ(series_files("12-3-"), 3u);
  EXPECT_EQ(series_files("12-4-") + series_files("13-3-"), 2u);

  SyscallOverride calls;
  calls.table().unlink = [](const char*) { return -1; };
  testing::internal::CaptureStdout();
  log_rollovers(true, 2);
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_NE(printed.find(logs_ + "/12-3-"), std::string::npos) << printed;
  EXPECT_NE(printed.find(" File Deletion failed\n"), std::string::npos) << printed;
  EXPECT_GT(series_files("12-3-"), 3u);
}

}  // namespace
}  // namespace xoltlog::test
