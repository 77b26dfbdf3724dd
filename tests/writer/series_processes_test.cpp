// Several processes writing one series through writers of their own, with
// size rollover: every record lands whole, exactly once, in some file, and
// every file has one header, at its top.
#include <filesystem>
#include <set>
#include <sstream>

#include "support/helper_process.h"
#include "writer/writer_fixture.h"

namespace xoltlog::test {
namespace {

constexpr int kWriters = 3;
constexpr int kRecords = 400;

std::string payload(int writer, int k) {
  return "rec " + std::to_string(writer) + ":" + std::to_string(k) + " " +
         std::string(static_cast<std::size_t>(40 + (k * 7 + writer) % 60), 'p');
}

XOLTLOG_TEST_HELPER(write_series) {
  XoltLogCfg cfg;
  init_config(LibraryLockGuard("write_series"), &cfg, 5, 7, nullptr);
  xoltLogCfgSetDirectory(&cfg, args.at(0).c_str(), nullptr);
  xoltLogCfgSetRolloverMode(&cfg, XOLTLOG_ROLLOVER_FILE_SIZE);
  xoltLogCfgSetMaxFileSize(&cfg, 8);
  XoltLogHandle handle{};
  handle.file_writer = new_file_writer();
  if (xoltLogOpenFile(&handle, &cfg, &cfg) != XOLTLOG_OK) return 2;
  const int writer = std::stoi(args.at(1));
  for (int k = 0; k < kRecords; ++k) {
    if (write_record(handle, payload(writer, k)) != XOLTLOG_OK) return 3;
  }
  close_handle(handle);
  xoltLogFreeCfg(&cfg);
  return 0;
}

TEST(WriterSeries, ProcessesWritingOneSeriesLoseNothing) {
  TempDir dir;
  std::vector<pid_t> writers;
  std::multiset<std::string> expected, seen;
  for (int w = 0; w < kWriters; ++w) {
    writers.push_back(spawn_helper("write_series", {dir.path(), std::to_string(w)}));
    for (int k = 0; k < kRecords; ++k) expected.insert(payload(w, k));
  }
  for (pid_t writer : writers) ASSERT_EQ(wait_for_exit(writer), 0);
  int file_count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    if (entry.path().extension() != ".log") continue;  // the lock region
    ++file_count;
    std::istringstream in(read_file(entry.path().string()));
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line.rfind("$Header 65543,5,7,", 0), 0u) << entry.path();
    while (std::getline(in, line)) {
      ASSERT_EQ(line.find("$Header"), std::string::npos) << "a second header in " << entry.path();
      const std::size_t text = line.find(":rec ");
      ASSERT_NE(text, std::string::npos) << line;
      seen.insert(line.substr(text + 1, line.find(',', text) - text - 1));
    }
  }
  EXPECT_GT(file_count, 5);  // the series did roll over
  EXPECT_TRUE(seen == expected) << "records lost, torn or written twice";
}

}  // namespace
}  // namespace xoltlog::test
