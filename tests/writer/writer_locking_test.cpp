// The library lock around the exported operations that touch handles,
// writers, the shared writer slot and configuration records: each waits for
// a lock that another thread holds, and threads sharing one writer lose no
// record and start no file without its header.
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <thread>

#include "writer/writer_fixture.h"

namespace xoltlog::test {
namespace {

// Whether call, run on another thread while this one holds the library
// lock, waits for the lock to be released. An operation that takes no lock
// finishes within the pause.
bool waits_for_library_lock(const std::function<void()>& call) {
  static const char* const kHolder = "waits_for_library_lock()";
  xoltLockCommon(kHolder);
  std::atomic<bool> done{false};
  std::thread other([&] {
    call();
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const bool finished_early = done;
  xoltUnlockCommon(kHolder);
  other.join();
  return !finished_early && done;
}

class WriterLocking : public WriterTest {};

TEST_F(WriterLocking, ExportedOperationsTakeTheLibraryLock) {
  XoltLogCfg cfg = config(5, 7, XOLTLOG_ROLLOVER_FILE_SIZE);
  XoltLogHandle& handle = open(cfg);
  XoltLogHandle& other = *handles_.emplace_back(std::make_unique<XoltLogHandle>());
  other.file_writer = new_file_writer();
  XoltLogMsg msg{};
  XoltLogCfg spare = config(6, 7);
  std::uint32_t number = 0;
  std::uint64_t wide = 0;
  char* text = nullptr;
  const std::pair<const char*, std::function<void()>> operations[] = {
      {"InitMsg", [&] { xoltLogInitMsg(&msg, &handle, XOLTLOG_MSG_APP, "locked"); }},
      {"Write", [&] { xoltLogWriteMsgWithRolloverToFile(handle.file_writer, &msg); }},
      {"Sequence", [&] { GetNextSequenceNumber(&handle); }},
      {"Open", [&] { xoltLogOpenFile(&other, &cfg, &cfg); }},
      {"Close", [&] { xoltLogCloseFile(&other); }},
      {"GetNumber", [&] { xoltLogCfgGetRolloverMode(&cfg, &number); }},
      {"GetWide", [&] { xoltLogCfgGetRolloverPeriod(&cfg, &wide); }},
      {"GetText", [&] { xoltLogCfgGetL10nResource(&cfg, &text); }},
      {"GetSource", [&] { xoltLogCfgGetNtEventSource(&cfg, &text), xoltLogFree(text); }},
      {"GetLib", [&] { xoltLogCfgGetL10nLib(&cfg, &text); }},
      {"SetNumber", [&] { xoltLogCfgSetRolloverTime(&cfg, 3600); }},
      {"SetText", [&] { xoltLogCfgSetL10nResource(&cfg, "res"); }},
      {"SetSource", [&] { xoltLogCfgSetNtEventSource(&cfg, "src"); }},
      {"SetDirectory", [&] { xoltLogCfgSetDirectory(&spare, "/elsewhere", nullptr); }},
      {"Flag", [&] { xoltLogCfgEnableLogToStdout(&cfg); }},
      {"Field", [&] { xoltLogCfgEnableLogRecycling(&cfg); }},
      {"Flags", [&] { xoltLogCfgSetFlags(&cfg, 65); }},
      {"Free", [&] { xoltLogFreeCfg(&spare); }},
  };
  for (const auto& [name, call] : operations) {
    EXPECT_TRUE(waits_for_library_lock(call)) << name;
  }
  // The record takes its product from the writer, its originator from the
  // handle.
  EXPECT_EQ(std::pair(msg.product_id, msg.originator_id), std::pair(5u, 7u));
  EXPECT_EQ(other.file_writer, nullptr);
  xoltLogFreeMsg(&msg);
  xoltLogFreeCfg(&cfg);
}

// Records are told apart by their text, "rec-<thread>-<number>".
std::map<std::string, int> records_in(const std::string& content) {
  std::map<std::string, int> seen;
  for (auto at = content.find("rec-"); at != std::string::npos; at = content.find("rec-", at + 1)) {
    ++seen[content.substr(at, 11)];
  }
  return seen;
}

TEST_F(WriterLocking, ThreadsSharingAWriterWithSizeRolloverLoseNoRecord) {
  constexpr int kThreads = 8;
  constexpr int kEach = 300;
  XoltLogCfg cfg = config(5, 7, XOLTLOG_ROLLOVER_FILE_SIZE);
  cfg.max_file_size_kb = 4;
  XoltLogHandle& handle = open(cfg);
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "rec-%d-%05d", t, i);
        failures += write(handle, text) != XOLTLOG_OK ? 1 : 0;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, 0);
  std::map<std::string, int> seen;
  for (const std::string& name : files()) {
    const std::string text = content(name);
    EXPECT_EQ(text.rfind("$Header ", 0), 0u) << name;
    for (const auto& [record, times] : records_in(text)) seen[record] += times;
  }
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(kThreads * kEach));
  EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](const auto& r) { return r.second == 1; }));
  EXPECT_GT(files().size(), 10u);
}

}  // namespace
}  // namespace xoltlog::test
