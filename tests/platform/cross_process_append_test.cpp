// Real processes appending to one file at once, through the shared lock table
// and through the flock fallback, and a writer killed while it holds a lock.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "platform/posix/lock_table.h"
#include "support/helper_process.h"
#include "support/syscall_override.h"
#include "support/temp_dir.h"
#include "xoltlog/platform.h"

namespace {

using xoltlog::test::spawn_helper;
using xoltlog::test::TempDir;
using xoltlog::test::wait_for_exit;

// Record k of writer w: "w:k:" then a payload whose length and letters
// depend on both, so a torn or mixed record cannot pass for a whole one.
std::string record_of(int writer, int k) {
  const size_t length = 20 + static_cast<size_t>((k * 37 + writer * 11) % 700);
  return std::to_string(writer) + ":" + std::to_string(k) + ":" +
         std::string(length, static_cast<char>('a' + (writer + k) % 26)) + "\n";
}

// Cuts every write into pieces of at most 7 bytes, so that records written
// without the lock would interleave.
void cut_writes_into_pieces() {
  xoltlog::platform::posix::syscalls().write = [](int fd, const void* bytes, size_t count) {
    return xoltlog::platform::posix::real_syscalls().write(fd, bytes, count < 7 ? count : 7);
  };
}

XOLTLOG_TEST_HELPER(append_records) {
  cut_writes_into_pieces();
  const int writer = std::stoi(args.at(1));
  const int records = std::stoi(args.at(2));
  auto context = std::make_unique<XoltLogFileContext>();
  xoltLogOs_init(context.get());
  if (xoltLogOs_open(context.get(), args.at(0).c_str(), 0, nullptr) != 0) {
    return 2;
  }
  for (int k = 0; k < records; ++k) {
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
  xoltlog::platform::posix::LockSlot* slot =
      xoltlog::platform::posix::process_lock_table().slot_for(args.at(0));
  if (slot == nullptr || !xoltlog::platform::posix::lock_slot(*slot)) {
    return 2;
  }
  FILE* marker = std::fopen(args.at(1).c_str(), "w");
  if (marker != nullptr) std::fclose(marker);
  for (;;) pause();
}

XOLTLOG_TEST_HELPER(append_one) {
  auto context = std::make_unique<XoltLogFileContext>();
  xoltLogOs_init(context.get());
  if (xoltLogOs_open(context.get(), args.at(0).c_str(), 0, nullptr) != 0) return 2;
  return xoltLogOs_append(context.get(), "after\n", 6) == 6 ? 0 : 3;
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
    for (int w = 0; w < writers; ++w) {
      children.push_back(spawn_helper("append_records",
                                      {file, std::to_string(w), std::to_string(records)},
                                      {"XOLTLOG_LOCK_TABLE=" + table}));
    }
    for (pid_t child : children) {
      ASSERT_EQ(wait_for_exit(child), 0);
    }
    std::istringstream lines(xoltlog::test::read_file(file));
    std::map<std::pair<int, int>, int> seen;
    std::string line;
    while (std::getline(lines, line)) {
      const size_t first = line.find(':');
      const size_t second = line.find(':', first + 1);
      ASSERT_NE(second, std::string::npos) << line;
      const int w = std::stoi(line.substr(0, first));
      const int k = std::stoi(line.substr(first + 1, second - first - 1));
      ASSERT_EQ(line + "\n", record_of(w, k)) << "torn record";
      ++seen[{w, k}];
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(writers * records));
    for (const auto& [key, count] : seen) {
      EXPECT_EQ(count, 1) << key.first << ":" << key.second;
    }
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
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (access(marker.c_str(), F_OK) != 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_EQ(access(marker.c_str(), F_OK), 0) << "the holder never took the lock";
  kill(holder, SIGKILL);
  EXPECT_EQ(wait_for_exit(holder), 128 + SIGKILL);

  const pid_t writer = spawn_helper("append_one", {file}, {table});
  int status = 0;
  pid_t done = 0;
  while ((done = waitpid(writer, &status, WNOHANG)) == 0 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (done == 0) {
    kill(writer, SIGKILL);
    waitpid(writer, &status, 0);
    FAIL() << "the next writer stayed blocked on the dead holder's lock";
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(xoltlog::test::read_file(file), "after\n");
  // Taken over properly, the mutex stays usable rather than unrecoverable.
  xoltlog::platform::posix::LockTable same_table(table_name_.c_str());
  xoltlog::platform::posix::LockSlot* slot = same_table.slot_for(file);
  ASSERT_NE(slot, nullptr);
  ASSERT_TRUE(xoltlog::platform::posix::lock_slot(*slot));
  xoltlog::platform::posix::unlock_slot(*slot);
}

}  // namespace
