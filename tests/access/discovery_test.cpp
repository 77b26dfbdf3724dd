#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <set>
#include <string>
#include <utility>

#include "platform/heap.h"
#include "writer/writer_fixture.h"
#include "xoltlog/access.h"

namespace {

using xoltlog::platform::posix::real_syscalls;
using xoltlog::test::CentralEuropeanTime;
using xoltlog::test::FixedHost;
using xoltlog::test::SyscallOverride;
using xoltlog::test::TempDir;

constexpr const char* kHost = xoltlog::test::kHostNumber;  // 10.1.2.3, first octet lowest

using EntryPtr = xoltlog::BlockPtr<XoltLogFileEntry>;

void touch(const std::string& path, const std::string& text = "") {
  ASSERT_TRUE(std::ofstream(path, std::ios::binary) << text) << path;
}

std::string ordinary(const char* host, const char* date_and_counter) {
  return std::string("12-100-") + host + "-" + date_and_counter + ".log";
}

EntryPtr latest(const TempDir& dir) {
  XoltLogFileEntry* entry = nullptr;
  const uint8_t found = xoltLogFindLatestLog((dir.path() + "/").c_str(), 12, 100, 0, 0, &entry);
  EXPECT_EQ(found != 0, entry != nullptr);
  return EntryPtr(entry);
}

std::set<std::string> listed(const std::string& directory, int32_t* begin = nullptr) {
  XoltLogDirListing listing{};
  std::set<std::string> names;
  int32_t status = xoltLogOsListLogFilesBegin(&listing, directory.c_str());
  if (begin != nullptr) *begin = status;
  for (; status == 0; status = xoltLogOsListLogFilesNext(&listing)) {
    names.insert(xoltLogOsListLogFilesName(&listing));
  }
  xoltLogOsListLogFilesEnd(&listing);
  return names;
}

TEST(NameParsers, ReadIdsAndLogsetFields) {
  struct IdCase { const char* name; int32_t truth; uint32_t product, originator; };
  for (const IdCase& c : {IdCase{"12-100-50462986-260314-0000000002.log", 1, 12, 100},
                          IdCase{"--12---100-", 1, 12, 100}, IdCase{"12-backup-2603.log", 0, 12, 0},
                          IdCase{"0-100-1.log", 0, 0, 100}, IdCase{"4294967296-100", 0, 0, 100},
                          IdCase{"12", 1, 12, 7}}) {
    uint32_t product = 5, originator = 7;
    EXPECT_EQ(getidfromfilename(c.name, &product, &originator), c.truth) << c.name;
    EXPECT_EQ(product, c.product) << c.name;
    EXPECT_EQ(originator, c.originator) << c.name;
  }
  struct SetCase { const char* name; int32_t truth; const char* set; const char* stamp; };
  for (const SetCase& c :
       {SetCase{"12-backup-260314093005.log", 1, "backup", "260314093005"},
        SetCase{"12--backup", 1, "backup", ""}, SetCase{"0-backup-26.log", 0, "backup", "26.log"},
        SetCase{"12", 0, "", ""}, SetCase{"12-my-set-260314093005.log", 1, "my", "set"}}) {
    uint32_t product = 0;
    char set[64] = "junk";
    char stamp[13] = {};
    EXPECT_EQ(getSLidfromfilename(c.name, &product, set, stamp), c.truth) << c.name;
    EXPECT_STREQ(set, c.set) << c.name;
    EXPECT_STREQ(stamp, c.stamp) << c.name;
  }
  uint32_t id = 0;
  EXPECT_EQ(getidfromfilename(nullptr, &id, &id), 0);
  EXPECT_EQ(getSLidfromfilename("12-a-260314093005.log", &id, nullptr, nullptr), 0);
}

TEST(LatestLog, NewestDateThenCounterOfThisWriterAndHostOnly) {
  FixedHost host;
  TempDir dir;
  // Nothing found in an empty or a missing directory: the entry is untouched.
  XoltLogFileEntry* const marker = reinterpret_cast<XoltLogFileEntry*>(&dir);
  for (const std::string& directory : {dir.path() + "/", dir.file("missing/")}) {
    XoltLogFileEntry* entry = marker;
    EXPECT_EQ(xoltLogFindLatestLog(directory.c_str(), 12, 100, 0, 0, &entry), 0) << directory;
    EXPECT_EQ(xoltLogFindLatestLogSL(directory.c_str(), 12, "set", 0, 0, &entry), 0);
    EXPECT_EQ(entry, marker);
  }
  for (const char* tail : {"260314-0000000009", "260314-0000000010", "260315-0000000000"}) {
    touch(dir.file(ordinary(kHost, tail)));
  }
  // Near misses, each newer than the rightful latest file.
  for (const std::string& name :
       {ordinary("99999999", "260316-0000000000"),
        std::string("12-1000-50462986-260316-0000000000.log"), ordinary(kHost, "26031x-0000000000"),
        ordinary(kHost, "260316-00000000001"), ordinary(kHost, "260316-9999999999"),
        ordinary(kHost, "260316+0000000000")}) {
    touch(dir.file(name));
  }
  ASSERT_EQ(mkdir(dir.file(ordinary(kHost, "260317-0000000000")).c_str(), 0700), 0);

  EntryPtr entry = latest(dir);
  ASSERT_TRUE(entry);
  EXPECT_STREQ(entry->file_name, ordinary(kHost, "260315-0000000000").c_str());
  EXPECT_EQ(entry->file.read_position, -1);

  ASSERT_EQ(unlink(dir.file(ordinary(kHost, "260315-0000000000")).c_str()), 0);
  entry = latest(dir);
  ASSERT_TRUE(entry);
  EXPECT_STREQ(entry->file_name, ordinary(kHost, "260314-0000000010").c_str());
  xoltlog::platform::forget_host_address();
  host.table().gethostname = [](char*, size_t) { return -1; };
  EXPECT_FALSE(latest(dir));  // no host number: no file is this host's
  EXPECT_EQ(xoltLogFindLatestLog(nullptr, 12, 100, 0, 0, nullptr), 0);
}

TEST(LatestLogset, StrictlyNewestNameTimeOfThisSet) {
  CentralEuropeanTime zone;
  TempDir dir;
  for (const char* name : {"12-backup-260101000000.log", "12-backup-260102000000.log",
                           "12-backup-2601030000.log", "12-backupx-260104000000.log",
                           "13-backup-260105000000.log", "12-my-set-260106000000.log"}) {
    touch(dir.file(name));
  }
  const auto latest_logset = [&dir](uint32_t product, const char* set) {
    XoltLogFileEntry* entry = nullptr;
    xoltLogFindLatestLogSL((dir.path() + "/").c_str(), product, set, 0, 0, &entry);
    return EntryPtr(entry);
  };
  EntryPtr entry = latest_logset(12, "backup");
  ASSERT_TRUE(entry);
  EXPECT_STREQ(entry->file_name, "12-backup-260102000000.log");
  EXPECT_EQ(entry->time, 1767308400);  // 2026-01-02 00:00 CET
  // A set file name with "-" cannot be told from its stamp; names of
  // product 0 never parse.
  EXPECT_FALSE(latest_logset(12, "my-set"));
  touch(dir.file("0-backup-260101000000.log"));
  EXPECT_FALSE(latest_logset(0, "backup"));
}

TEST(DirListing, RegularLogFilesWithPatternPrefixAndTimes) {
  TempDir dir;
  const std::string long_name = std::string(251, 'n') + ".log";
  touch(dir.file("a.log"), "hello");
  touch(dir.file(long_name));
  touch(dir.file("b.txt"));
  touch(dir.file("sub-1.log"));
  ASSERT_EQ(mkdir(dir.file("c.log").c_str(), 0700), 0);
  ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0700), 0);
  ASSERT_EQ(symlink("a.log", dir.file("d.log").c_str()), 0);
  ASSERT_EQ(symlink("gone", dir.file("e.log").c_str()), 0);
  EXPECT_EQ(listed(dir.path() + "/"),
            (std::set<std::string>{"a.log", "d.log", "sub-1.log", long_name}));
  // Without a trailing separator the last component begins the names.
  EXPECT_EQ(listed(dir.file("sub")), std::set<std::string>{"sub-1.log"});

  // The pattern, directory and "*.log", fits 260 characters.
  const std::string longest = dir.path() + std::string(255 - dir.path().size(), '/');
  EXPECT_EQ(listed(longest).size(), 4u);
  int32_t begin = 0;
  for (const auto& [directory, status] : {std::pair{dir.file("sub/"), 1}, {dir.file("none/"), -1},
                                          {dir.file("a.log/"), -1}, {longest + "/", -1}}) {
    EXPECT_TRUE(listed(directory, &begin).empty());
    EXPECT_EQ(begin, status) << directory;
  }
  EXPECT_EQ(xoltLogOsListLogFilesBegin(nullptr, "/"), -3);
  SyscallOverride calls;  // a failed read is no end of the directory
  calls.table().readdir = [](DIR*) -> dirent* { return errno = EIO, nullptr; };
  EXPECT_TRUE(listed(dir.path() + "/", &begin).empty());
  EXPECT_EQ(begin, -1);
}

TEST(DirListing, FindDataCopiesAndEntries) {
  TempDir dir;
  touch(dir.file("a.log"), "hello");
  const timespec old_times[2] = {{1500000000, 0}, {1600000000, 500}};
  ASSERT_EQ(utimensat(AT_FDCWD, dir.file("a.log").c_str(), old_times, 0), 0);
  XoltLogDirListing listing{}, copy{};
  ASSERT_EQ(xoltLogOsListLogFilesBegin(&listing, (dir.path() + "/").c_str()), 0);
  EXPECT_EQ(listing.find_data.attributes, 0x80u);
  EXPECT_EQ(listing.find_data.size_low, 5u);
  const XoltLogFileTime written = listing.find_data.last_write_time;
  EXPECT_EQ(uint64_t{written.high} << 32 | written.low, 132444736000000005u);  // 1601 epoch
  EXPECT_EQ(CopyLogOsListLogFiles(&listing, &copy), 0);
  xoltLogOsListLogFilesEnd(&listing);
  xoltLogOsListLogFilesEnd(&listing);
  EXPECT_EQ(xoltLogOsListLogFilesNext(&copy), -1);  // a copy holds no search

  // The birth time where the file system keeps one, else the older of the
  // modification and status-change times.
  EntryPtr born(alloc_file(&copy));
  ASSERT_TRUE(born);
  EXPECT_STREQ(born->file_name, "a.log");
  struct statx status {};
  ASSERT_EQ(statx(AT_FDCWD, dir.file("a.log").c_str(), 0, STATX_BTIME, &status), 0);
  EXPECT_EQ(born->time, status.stx_mask & STATX_BTIME ? status.stx_btime.tv_sec : 1600000000);
  SyscallOverride calls;
  calls.table().statx = [](int fd, const char* name, int flags, unsigned mask, struct statx* out) {
    const int result = real_syscalls().statx(fd, name, flags, mask, out);
    return out->stx_mask &= ~unsigned{STATX_BTIME}, result;
  };
  ASSERT_EQ(xoltLogOsListLogFilesBegin(&listing, (dir.path() + "/").c_str()), 0);
  EntryPtr unborn(alloc_file(&listing));
  xoltLogOsListLogFilesEnd(&listing);
  ASSERT_TRUE(unborn);
  EXPECT_EQ(unborn->time, 1600000000);
}

}  // namespace
