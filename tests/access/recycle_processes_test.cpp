// Several processes, two threads each, writing one recycled series: every
// record is either in a remaining file or in a file that recycling deleted
// after the record was in it. Each deletion leaves a copy of the file as it
// was when unlinked (taken under the file's lock, where no append can run),
// so a record written into a file after its deletion is in neither place.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "config/record.h"
#include "config/store_layout.h"
#include "support/helper_process.h"
#include "support/syscall_override.h"
#include "support/temp_dir.h"
#include "xoltlog/config_write.h"
#include "xoltlog/handle.h"
#include "xoltlog/log.h"

namespace xoltlog::test {
namespace {

namespace fs = std::filesystem;

constexpr int kProcesses = 3;
constexpr int kThreads = 2;
constexpr int kRecords = 300;

std::string record_text(int process, int thread, int n) {
  return "<p" + std::to_string(process) + "-t" + std::to_string(thread) + "-" +
         std::to_string(n) + ">" + std::string(static_cast<std::size_t>(20 + n * 7 % 80), 'x') +
         "|";
}

std::string g_copies;  // where the deleted files' copies go
std::atomic<int> g_copy_count{0};

// A copy is kept only of a file whose unlinking succeeded.
int copy_then_unlink(const char* path) {
  std::string copy;
  if (std::string_view(path).ends_with(".log")) {
    copy = g_copies + "/" + fs::path(path).filename().string() + "." + std::to_string(getpid()) +
           "." + std::to_string(++g_copy_count);
    std::error_code failed;
    if (!fs::copy_file(path, copy, failed)) return -1;
  }
  const int unlinked = platform::posix::real_syscalls().unlink(path);
  if (unlinked != 0 && !copy.empty()) ::unlink(copy.c_str());
  return unlinked;
}

XOLTLOG_TEST_HELPER(write_recycled_series) {
  g_copies = args.at(0);
  const int process = std::stoi(args.at(1));
  SyscallOverride calls;
  calls.table().unlink = copy_then_unlink;
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      XoltLogHandle handle{};
      if (xoltLogOpen(12, 3, &handle) != 0) {
        ++failures;
        return;
      }
      for (int n = 0; n < kRecords; ++n) {
        const std::string text = record_text(process, t, n);
        if (const std::uint32_t result = xoltLogAppMsg(&handle, 0, 1, 0, "%s", text.c_str())) {
          std::fprintf(stderr, "%s: result %u\n", text.c_str(), result);
          ++failures;
        }
      }
      xoltLogClose(&handle);
    });
  }
  for (std::thread& thread : threads) thread.join();
  return failures == 0 ? 0 : 3;
}

// Records found in the log files of a directory, by their text; a torn or
// doubled record, or a header anywhere but on the first line, fails.
void gather(const std::string& directory, bool copies, std::map<std::string, int>& found) {
  for (const auto& entry : fs::directory_iterator(directory)) {
    const std::string path = entry.path();
    if (path.find(".log") == std::string::npos) continue;  // the lock region
    std::istringstream in(read_file(path));
    std::string line;
    if (!std::getline(in, line) && copies) continue;  // created, never written
    EXPECT_EQ(line.rfind("$Header 65543,12,3,", 0), 0u) << path;
    while (std::getline(in, line)) {
      EXPECT_EQ(line.find("$Header"), std::string::npos) << "second header in " << path;
      const std::size_t open = line.find("<p");
      const std::size_t close = line.find('|', open);
      ASSERT_TRUE(open != std::string::npos && close != std::string::npos) << path << ": " << line;
      ++found[line.substr(open, close + 1 - open)];
    }
  }
}

TEST(RecycledSeries, ProcessesLoseNoRecordIntoADeletedFile) {
  TempDir root;
  const std::string logs = root.file("logs");
  const std::string copies = root.file("copies");
  fs::create_directories(logs);
  fs::create_directories(copies);
  const std::vector<std::string> environment = {
      "XOLTLOG_REGISTRY_ROOT=" + root.path(), "XOLTLOG_CFG_LOC=" + root.file("xoltlog.conf")};
  setenv("XOLTLOG_REGISTRY_ROOT", root.path().c_str(), 1);
  setenv("XOLTLOG_CFG_LOC", root.file("xoltlog.conf").c_str(), 1);
  forget_store_location();
  ASSERT_EQ(xoltLogAddProductCfg(12, "p12", root.file("p12.conf").c_str()), 0u);
  XoltLogCfg section{};
  init_config(LibraryLockGuard("test"), &section, 12, 3, nullptr);
  xoltLogCfgSetDirectory(&section, (logs + "/").c_str(), nullptr);
  xoltLogCfgSetNumberOfLogFiles(&section, 3);
  xoltLogCfgEnableLogRecycling(&section);
  xoltLogCfgSetRolloverMode(&section, XOLTLOG_ROLLOVER_FILE_SIZE);
  xoltLogCfgSetMaxFileSize(&section, 1);
  ASSERT_EQ(xoltLogWriteCfg(12, 3, &section), 0u);
  xoltLogFreeCfg(&section);

  std::vector<pid_t> writers;
  for (int p = 0; p < kProcesses; ++p) {
    writers.push_back(
        spawn_helper("write_recycled_series", {copies, std::to_string(p)}, environment));
  }
  for (pid_t writer : writers) EXPECT_EQ(wait_for_exit(writer), 0);
  unsetenv("XOLTLOG_REGISTRY_ROOT");
  unsetenv("XOLTLOG_CFG_LOC");
  forget_store_location();

  std::map<std::string, int> found;
  gather(logs, false, found);
  gather(copies, true, found);
  EXPECT_GT(std::distance(fs::directory_iterator(copies), {}), 20);  // recycling did run
  std::string wrong;  // records missing or found twice
  for (int p = 0; p < kProcesses; ++p) {
    for (int t = 0; t < kThreads; ++t) {
      for (int n = 0; n < kRecords; ++n) {
        const std::string text = record_text(p, t, n);
        const int times = found[text];
        if (times != 1) wrong += text.substr(0, text.find('>') + 1) + "x" + std::to_string(times) + " ";
      }
    }
  }
  EXPECT_EQ(wrong, "") << "records written into deleted files, or twice";
  EXPECT_EQ(found.size(), std::size_t{kProcesses * kThreads * kRecords});
}

}  // namespace
}  // namespace xoltlog::test
