// The cross-process lock of log files: real processes appending to one file
// through different path texts, holders killed with the lock, another user
// trying to reach it, and lock regions that are damaged, stale or planted.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "platform/file_primitives.h"
#include "platform/posix/file_context.h"
#include "platform/posix/lock_region.h"
#include "platform/posix/syscalls.h"
#include "support/child_process.h"
#include "support/helper_process.h"
#include "support/temp_dir.h"
#include "xoltlog/platform.h"

namespace {

using xoltlog::test::read_file;
using xoltlog::test::spawn_helper;
using xoltlog::test::TempDir;
using xoltlog::test::wait_for_exit;
namespace posix = xoltlog::platform::posix;
namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

// Record k of writer w: "w:k:" then a payload whose length and letters
// depend on both, so a torn or mixed record cannot pass for a whole one.
std::string record_of(int writer, int k) {
  const size_t length = 20 + static_cast<size_t>((k * 37 + writer * 11) % 700);
  return std::to_string(writer) + ":" + std::to_string(k) + ":" +
         std::string(length, static_cast<char>('a' + (writer + k) % 26)) + "\n";
}

// The context is 32 KiB: keep it off the stack.
struct OpenContext {
  OpenContext() { xoltLogOs_init(&c); }
  ~OpenContext() { xoltLogOs_close(&c); }
  int32_t open(const std::string& path) { return xoltLogOs_open(&c, path.c_str(), 0, nullptr); }
  int32_t append(const std::string& text) {
    return xoltLogOs_append(&c, text.data(), static_cast<uint32_t>(text.size()));
  }
  XoltLogFileContext c;
};

// Appends records with every write cut into pieces of at most 7 bytes, so
// that records written without the lock would interleave. A writer still
// blocked after 20 seconds dies of the alarm.
XOLTLOG_TEST_HELPER(append_records) {
  alarm(20);
  posix::syscalls().write = [](int fd, const void* bytes, size_t count) {
    return posix::real_syscalls().write(fd, bytes, count < 7 ? count : 7);
  };
  const int writer = std::stoi(args.at(1));
  auto context = std::make_unique<OpenContext>();
  if (context->open(args.at(0)) != 0) return 2;
  for (int k = 0; k < std::stoi(args.at(2)); ++k) {
    const std::string record = record_of(writer, k);
    if (context->append(record) != static_cast<int32_t>(record.size())) return 3;
  }
  return 0;
}

// Takes a file's lock, leaves half a record and a size change under way,
// says so by creating a marker file, and waits to be killed.
XOLTLOG_TEST_HELPER(die_holding_lock) {
  auto context = std::make_unique<OpenContext>();
  if (context->open(args.at(0)) != 0) return 2;
  posix::LockSlot* slot = posix::lock_slot_of(context->c);
  if (posix::lock_slot(*slot) == posix::SlotLock::kFailed) return 3;
  if (write(posix::descriptor_of(context->c), "half a rec", 10) != 10) return 4;
  slot->tracked.sequence.fetch_add(1);
  std::ofstream(args.at(1)).flush();
  for (;;) pause();
}

// Keeps a region file flocked as a user of it would, until killed.
XOLTLOG_TEST_HELPER(keep_region_in_use) {
  const int fd = open(args.at(0).c_str(), O_RDONLY);
  if (fd < 0 || flock(fd, LOCK_SH) != 0) return 2;
  std::ofstream(args.at(1)).flush();
  for (;;) pause();
}

bool wait_for_marker(const std::string& marker) {
  for (int i = 0; i < 4000 && access(marker.c_str(), F_OK) != 0; ++i) usleep(5000);
  return access(marker.c_str(), F_OK) == 0;
}

// An empty log file of mode 0644, as the configuration would make it.
std::string log_file(const TempDir& dir, const std::string& name) {
  const std::string file = dir.file(name);
  std::ofstream(file).flush();
  EXPECT_EQ(chmod(file.c_str(), 0644), 0);
  return file;
}

std::string region_of(const std::string& dir, mode_t file_mode) {
  return dir + "/" + posix::kRegionNamePrefix + std::to_string(geteuid()) + "-" +
         std::to_string(getegid()) + "-" +
         (std::ostringstream() << std::oct << posix::region_mode(file_mode)).str();
}

// Processes that name one file by different path texts (as given, through
// "./", through a link to its directory) still exclude each other.
TEST(LockRegion, ProcessesNamingOneFileDifferentlyWriteWholeRecords) {
  TempDir dir;
  fs::create_symlink(dir.path(), dir.file("alias"));
  const std::string names[] = {dir.file("shared.log"), dir.path() + "/./shared.log",
                               dir.file("alias/shared.log"), dir.file("shared.log")};
  std::vector<pid_t> children;
  std::multiset<std::string> expected, written;
  for (int w = 0; w < 4; ++w) {
    children.push_back(spawn_helper("append_records", {names[w], std::to_string(w), "400"}));
    for (int k = 0; k < 400; ++k) expected.insert(record_of(w, k));
  }
  for (pid_t child : children) ASSERT_EQ(wait_for_exit(child), 0);
  std::istringstream lines(read_file(dir.file("shared.log")));
  for (std::string line; std::getline(lines, line);) written.insert(line + "\n");
  EXPECT_TRUE(written == expected) << "torn, lost or doubled records";
}

// The next writer takes the lock over, ends the dead holder's half record
// so that its own starts a line, and the size the appenders keep is right
// again although the holder died in the middle of changing it.
TEST(LockRegion, AHolderKilledWithTheLockHandsItOverRepaired) {
  TempDir dir;
  const std::string file = dir.file("killed.log");
  const std::string marker = dir.file("locked");
  const pid_t holder = spawn_helper("die_holding_lock", {file, marker});
  ASSERT_TRUE(wait_for_marker(marker)) << "the holder never took the lock";
  kill(holder, SIGKILL);
  EXPECT_EQ(wait_for_exit(holder), 128 + SIGKILL);

  EXPECT_EQ(wait_for_exit(spawn_helper("append_records", {file, "0", "1"})), 0)
      << "the next writer failed or stayed blocked on the dead holder's lock";
  EXPECT_EQ(read_file(file), "half a rec\n" + record_of(0, 0));

  auto context = std::make_unique<OpenContext>();
  ASSERT_EQ(context->open(file), 0);
  xoltlog::platform::FileIdentity identity{};
  ASSERT_TRUE(xoltlog::platform::file_identity(context->c, identity));
  ASSERT_EQ(xoltlog::platform::file_append_tracked(context->c, identity, "x\n", 2), 2);
  uint64_t size = 0;
  ASSERT_TRUE(xoltlog::platform::tracked_file_size(context->c, identity, size));
  EXPECT_EQ(size, fs::file_size(file));
}

// The region gets the access of the log file's writers and nothing more.
TEST(LockRegion, OnlyThoseWhoMayWriteTheFileCanReachItsLock) {
  for (const auto& [file_mode, region_mode] :
       {std::pair<mode_t, mode_t>{0644, 0600}, {0664, 0660}, {0666, 0666}, {0600, 0600},
        {0444, 0}, {0622, 0666}}) {
    EXPECT_EQ(posix::region_mode(file_mode), region_mode) << std::oct << file_mode;
  }
  TempDir dir;
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  const std::string file = dir.file("private.log");
  auto context = std::make_unique<OpenContext>();
  ASSERT_EQ(context->open(file), 0);
  ASSERT_EQ(chmod(file.c_str(), 0644), 0);  // as the configuration would make it
  context = std::make_unique<OpenContext>();
  ASSERT_EQ(context->open(file), 0);
  const std::string region = region_of(dir.path(), 0644);
  struct stat status {};
  ASSERT_EQ(stat(region.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600u);

  // Another user can read the log but can neither open its lock nor write
  // the file: nothing it does can make root's writer wait.
  const int denied = xoltlog::test::run_in_child([&] {
    if (setresgid(kNobody, kNobody, kNobody) != 0 || setresuid(kNobody, kNobody, kNobody) != 0) {
      return 10;
    }
    if (open(region.c_str(), O_RDONLY) >= 0 || errno != EACCES) return 11;
    if (open(region.c_str(), O_RDWR) >= 0) return 12;
    auto other = std::make_unique<OpenContext>();
    return other->open(file) == -7 ? 0 : 13;
  });
  EXPECT_EQ(denied, 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(context->append("root's record\n"), 14);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// A name planted by another user in a shared directory is never followed
// and never used: a link is removed, a file of the wrong owner replaced.
TEST(LockRegion, PlantedRegionsAreNeitherFollowedNorUsed) {
  TempDir dir;
  ASSERT_EQ(chmod(dir.path().c_str(), 01777), 0);
  const std::string victim = dir.file("victim");
  std::ofstream(victim) << "keep me";
  const std::string region = region_of(dir.path(), 0644);
  for (const bool as_link : {true, false}) {
    fs::remove(region);
    const int planted = xoltlog::test::run_in_child([&] {
      if (setresuid(kNobody, kNobody, kNobody) != 0) return 10;
      if (as_link) return symlink(victim.c_str(), region.c_str()) == 0 ? 0 : 11;
      const int fd = open(region.c_str(), O_RDWR | O_CREAT | O_EXCL, 0666);
      return fd >= 0 && fchmod(fd, 0600) == 0 ? 0 : 12;
    });
    ASSERT_EQ(planted, 0);
    const std::string file = log_file(dir, as_link ? "a.log" : "b.log");
    auto context = std::make_unique<OpenContext>();
    ASSERT_EQ(context->open(file), 0) << "link " << as_link;
    EXPECT_EQ(context->append("r\n"), 2);
    struct stat status {};
    ASSERT_EQ(lstat(region.c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode));
    EXPECT_EQ(status.st_uid, geteuid());
    EXPECT_EQ(read_file(victim), "keep me");
  }
}

// Garbage, a wrong size or a set-up that never finished are repaired by
// the next opener once nobody uses the region.
TEST(LockRegion, DamagedRegionsAreSetUpAgain) {
  TempDir dir;
  const std::string file = log_file(dir, "d.log");
  const std::string region = region_of(dir.path(), 0644);
  for (const std::string damage : {"garbage", "short", "unfinished"}) {
    ASSERT_EQ(std::make_unique<OpenContext>()->open(file), 0);
    const auto size = fs::file_size(region);
    std::fstream bytes(region, std::ios::in | std::ios::out | std::ios::binary);
    if (damage == "garbage") bytes << std::string(size, '\xa5');
    if (damage == "unfinished") bytes << std::string(8, '\0');  // the magic comes last
    bytes.close();
    if (damage == "short") fs::resize_file(region, 100);
    auto context = std::make_unique<OpenContext>();
    ASSERT_EQ(context->open(file), 0) << damage;
    EXPECT_EQ(context->append(damage + "\n"), static_cast<int32_t>(damage.size() + 1));
    EXPECT_EQ(fs::file_size(region), size) << damage;
  }
  EXPECT_EQ(read_file(file), "garbage\nshort\nunfinished\n");

  // A slot damaged while the region is in use is repaired in place.
  auto context = std::make_unique<OpenContext>();
  ASSERT_EQ(context->open(file), 0);
  std::memset(static_cast<void*>(&posix::lock_slot_of(context->c)->mutex), 0xff,
              sizeof(pthread_mutex_t));
  EXPECT_EQ(context->append("slot\n"), 5);
}

// A region that does not fit this layout but that another process keeps
// using is not touched: the open fails at once rather than tear records or
// wait; once the other user is gone, the region is set up again.
TEST(LockRegion, ARegionOfAnotherLayoutInUseIsBypassedUntilFree) {
  TempDir dir;
  const std::string file = log_file(dir, "v.log");
  ASSERT_EQ(std::make_unique<OpenContext>()->open(file), 0);
  const std::string region = region_of(dir.path(), 0644);
  {
    std::fstream bytes(region, std::ios::in | std::ios::out | std::ios::binary);
    bytes.seekp(8);
    bytes << '\x7f';  // a layout version this build does not know
  }
  const std::string marker = dir.file("in-use");
  const pid_t user = spawn_helper("keep_region_in_use", {region, marker});
  ASSERT_TRUE(wait_for_marker(marker));
  auto context = std::make_unique<OpenContext>();
  EXPECT_EQ(context->open(file), -1);
  kill(user, SIGKILL);
  wait_for_exit(user);
  EXPECT_EQ(context->open(file), 0);
  EXPECT_EQ(context->append("after\n"), 6);
}

}  // namespace
