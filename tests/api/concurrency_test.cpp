#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "api/handle_fixture.h"
#include "support/helper_process.h"
#include "xoltlog/config.h"
#include "xoltlog/log.h"

namespace xoltlog::test {
namespace {

constexpr int kThreads = 8;
constexpr int kEach = 150;

// From start on (steady clock, shared by the processes), each thread logs
// through its own handle of originator 5, alternating application and
// debug messages marked p<process>-t<thread>-<n>; the number of calls that
// failed.
int log_from_threads(int process, std::chrono::steady_clock::time_point start) {
  std::atomic<int> failed{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&failed, process, t, start] {
      std::this_thread::sleep_until(start);
      OpenHandle h;
      if (xoltLogOpen(kProduct, 5, &h.handle) != 0) {
        failed += kEach;
        return;
      }
      xoltLogSetDebugLevel(&h.handle, 1);
      for (int n = 1; n <= kEach; ++n) {
        const std::string marker =
            "p" + std::to_string(process) + "-t" + std::to_string(t) + "-" + std::to_string(n);
        const std::uint32_t result =
            n % 2 == 0 ? xoltLogAppMsgEx(&h.handle, 0, 0, "w", 0, "%s", marker.c_str())
                       : xoltLogDebugMsg(&h.handle, 0, 1, "w", "%s", marker.c_str());
        failed += result != 0 ? 1 : 0;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  return failed;
}

XOLTLOG_TEST_HELPER(log_from_threads) {
  const std::chrono::steady_clock::time_point start(
      std::chrono::nanoseconds(std::stoll(args.at(0))));
  return log_from_threads(1, start) == 0 ? 0 : 1;
}

using Concurrency = HandleStore;

// Two processes of eight threads each write one series that rolls over at
// 4 KB: every record arrives once, whole, with its writer's process and
// its handle's sequence number.
TEST_F(Concurrency, ThreadsAndProcessesLoseNoRecord) {
  InitialRecord defaults(kProduct, XOLTLOG_DEFAULT_ORIGINATOR);
  ASSERT_EQ(xoltLogCfgSetRolloverMode(&defaults.cfg, XOLTLOG_ROLLOVER_FILE_SIZE) |
                xoltLogCfgSetMaxFileSize(&defaults.cfg, 4) |
                xoltLogCfgDisableLogRecycling(&defaults.cfg),
            0u);
  ASSERT_EQ(xoltLogWriteCfg(kProduct, XOLTLOG_DEFAULT_ORIGINATOR, &defaults.cfg), 0u);
  const auto start = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  const auto start_ns = std::chrono::nanoseconds(start.time_since_epoch()).count();
  const pid_t helper = spawn_helper("log_from_threads", {std::to_string(start_ns)});
  ASSERT_GT(helper, 0);
  EXPECT_EQ(log_from_threads(0, start), 0);
  EXPECT_EQ(wait_for_exit(helper), 0);

  const std::uint32_t pids[] = {static_cast<std::uint32_t>(getpid()),
                                static_cast<std::uint32_t>(helper)};
  std::map<std::string, int> seen;
  for (const Record& record : records()) {
    // "0:,<length>:<marker>,1:w,..." with the marker's process and number.
    const std::size_t colon = record.rest.find(':', 3);
    const std::size_t length = std::stoul(record.rest.substr(3, colon - 3));
    const std::string marker = record.rest.substr(colon + 1, length);
    ASSERT_EQ(record.rest.substr(colon + 1 + length, 5), ",1:w,") << record.rest;
    const int process = marker[1] - '0';
    EXPECT_EQ(record.number(6), pids[process & 1]) << marker;
    EXPECT_EQ(std::to_string(record.sequence()), marker.substr(marker.rfind('-') + 1));
    ++seen[marker];
  }
  EXPECT_EQ(seen.size(), std::size_t{2 * kThreads * kEach});
  for (const auto& [marker, count] : seen) EXPECT_EQ(count, 1) << marker;
  // Each process decides on its own, so the other may add one record more.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(logs())) {
    if (entry.path().extension() != ".log") continue;
    ++files;
    EXPECT_LT(entry.file_size(), 4096u + 200u) << entry.path();
  }
  EXPECT_GT(files, 10);
}

}  // namespace
}  // namespace xoltlog::test
