// Real processes appending to one file at once, through the shared lock table
// and through the flock fallback, and a writer killed while it holds a lock.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "platform/posix/lock_table.h"
#include "support/helper_process.h"
#include "support/syscall_override.h"
#include "support/temp_dir.h"
#include "xoltlog/platform.h"

namespace {

using xoltlog::test::spawn_helper;
using xoltlog::test::TempDir;
using xoltlog::test::wait_for_exit;
namespace posix = xoltlog::platform::posix;

// Record k of writer w: "w:k:" then a payload whose length and letters
// depend on both, so a torn or mixed record cannot pass for a whole one.
std::string record_of(int writer, int k) {
  const size_t length = 20 + static_cast<size_t>((k * 37 + writer * 11) % 700);
  return std::to_string(writer) + ":" + std::to_string(k) + ":" +
         std::string(length, static_cast<char>('a' + (writer + k) % 26)) + "\n";
}

// Appends records with every write cut into pieces of at most 7 bytes, so
// that records written without the lock would interleave. A writer still
// blocked after 20 seconds dies of the alarm.
XOLTLOG_TEST_HELPER(append_records) {
  alarm(20);
  posix::syscalls().write = [](int fd, const void* bytes, size_t count) {
    return posix::real_syscalls().write(fd, bytes, count < 7 ? count : 7);
  };
  const int writer = std::stoi(args.at(1));
  auto context = std::make_unique<XoltLogFileContext>();
  xoltLogOs_init(context.get());
  if (xoltLogOs_open(context.get(), args.at(0).c_str(), 0, nullptr) != 0) return 2;
  for (int k = 0; k < std::stoi(args.at(2)); ++k) {
    const std::string record = record_of(writer, k);
    if (xoltLogOs_append(context.get(), record.data(), static_cast<uint32_t>(record.size())) !=
        static_cast<int32_t>(record.size())) {
      return 3;
    }
  }
  xoltLogOs_close(context.get());
  return 0;
}

// Takes the lock of a file name, says so by creating a marker file, and
// waits to be killed.
XOLTLOG_TEST_HELPER(hold_lock_forever) {
  posix::LockSlot* slot = posix::process_lock_table().slot_for(args.at(0));
  if (slot == nullptr || !posix::lock_slot(*slot)) return 2;
  std::ofstream(args.at(1)).flush();
  for (;;) pause();
}

class CrossProcessAppend : public ::testing::Test {
 protected:
  // A table of its own, so that the test neither disturbs nor is disturbed
  // by anything else using the machine's table.
  std::string table_name_ = "/xoltlog-test-" + std::to_string(getpid());
  ~CrossProcessAppend() override { shm_unlink(table_name_.c_str()); }

  void expect_whole_records(const std::string& table, int writers, int records) {
    TempDir dir;
    const std::string file = dir.file("shared.log");
    std::vector<pid_t> children;
    std::multiset<std::string> expected, written;
    for (int w = 0; w < writers; ++w) {
      children.push_back(spawn_helper("append_records",
                                      {file, std::to_string(w), std::to_string(records)},
                                      {"XOLTLOG_LOCK_TABLE=" + table}));
      for (int k = 0; k < records; ++k) expected.insert(record_of(w, k));
    }
    for (pid_t child : children) {
      ASSERT_EQ(wait_for_exit(child), 0);
    }
    std::istringstream lines(xoltlog::test::read_file(file));
    for (std::string line; std::getline(lines, line);) written.insert(line + "\n");
    EXPECT_TRUE(written == expected) << "torn, lost or doubled records";
  }
};

TEST_F(CrossProcessAppend, ProcessesSharingTheLockTableWriteWholeRecords) {
  expect_whole_records(table_name_, 4, 400);
}

TEST_F(CrossProcessAppend, FlockFallbackWritesWholeRecords) {
  expect_whole_records("none", 4, 400);
}

TEST_F(CrossProcessAppend, AHolderKilledWithTheLockDoesNotBlockTheNextWriter) {
  TempDir dir;
  const std::string file = dir.file("killed.log");
  const std::string marker = dir.file("locked");
  const std::string table = "XOLTLOG_LOCK_TABLE=" + table_name_;
  const pid_t holder = spawn_helper("hold_lock_forever", {file, marker}, {table});
  for (int i = 0; i < 4000 && access(marker.c_str(), F_OK) != 0; ++i) usleep(5000);
  ASSERT_EQ(access(marker.c_str(), F_OK), 0) << "the holder never took the lock";
  kill(holder, SIGKILL);
  EXPECT_EQ(wait_for_exit(holder), 128 + SIGKILL);

  EXPECT_EQ(wait_for_exit(spawn_helper("append_records", {file, "0", "1"}, {table})), 0)
      << "the next writer failed or stayed blocked on the dead holder's lock";
  EXPECT_EQ(xoltlog::test::read_file(file), record_of(0, 0));
  // Taken over properly, the mutex stays usable rather than unrecoverable.
  posix::LockTable same_table(table_name_.c_str());
  posix::LockSlot* slot = same_table.slot_for(file);
  ASSERT_NE(slot, nullptr);
  ASSERT_TRUE(posix::lock_slot(*slot));
  posix::unlock_slot(*slot);
}

}  // namespace
