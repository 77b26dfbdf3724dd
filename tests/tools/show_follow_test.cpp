// xoltlog show over a product's series as a writer process leaves it: in
// time order across its files, and followed while the writer goes on
// through rollovers and recycling; a line being written is shown only once
// it is complete.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <thread>

#include "config/record.h"
#include "config/store_layout.h"
#include "support/helper_process.h"
#include "support/temp_dir.h"
#include "tools/run_tool.h"
#include "xoltlog/xoltlog.h"

namespace xoltlog::test {
namespace {

using nlohmann::json;
using std::chrono::steady_clock;

constexpr std::uint32_t kProduct = 21;
constexpr std::uint32_t kOriginator = 4;
const std::string kPadding(200, 'p');

bool poll_until(const std::function<bool()>& done, std::chrono::seconds patience) {
  for (const auto end = steady_clock::now() + patience; !done();) {
    if (steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Writes records "marker-<k>" for k from args[0] on, args[1] of them, with
// args[2] microseconds between them, through the product's own settings.
XOLTLOG_TEST_HELPER(write_markers) {
  XoltLogHandle handle{};
  if (xoltLogOpen(kProduct, kOriginator, &handle) != 0) return 2;
  const int first = std::stoi(args.at(0)), count = std::stoi(args.at(1));
  for (int k = first; k < first + count; ++k) {
    if (xoltLogAppMsgEx(&handle, 0, 0, "writer", 0, "marker-%06d %s", k, kPadding.c_str()) != 0) {
      return 3;
    }
    usleep(static_cast<useconds_t>(std::stoi(args.at(2))));
  }
  return xoltLogClose(&handle) == 0 ? 0 : 4;
}

// A process running the tool with its standard output in a file.
class Running {
 public:
  Running(const std::vector<std::string>& args, const std::string& out) {
    pid_ = fork();
    if (pid_ == 0) {
      const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(fd, 1);
      std::vector<char*> argv{const_cast<char*>(XOLTLOG_TOOL_PATH)};
      for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      execv(XOLTLOG_TOOL_PATH, argv.data());
      _exit(127);
    }
  }
  ~Running() {
    if (pid_ > 0) kill(pid_, SIGKILL), waitpid(pid_, nullptr, 0);
  }
  // Sends signal and waits (bounded) for the exit code; -1 when it did not
  // exit normally in time.
  int stop(int signal) {
    kill(pid_, signal);
    int status = 0;
    const bool ended = poll_until([&] { return waitpid(pid_, &status, WNOHANG) == pid_; },
                                  std::chrono::seconds(5));
    if (!ended) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
};

class ToolShowSeries : public ::testing::Test {
 protected:
  void SetUp() override {
    chmod(root_.path().c_str(), 0755);
    std::filesystem::create_directories(logs_);
    setenv("XOLTLOG_CFG_LOC", root_.file("x.conf").c_str(), 1);
    forget_store_location();
    ASSERT_EQ(xoltLogAddProductCfg(kProduct, "shop", root_.file("shop.conf").c_str()), 0u);
    XoltLogCfg cfg{};
    init_config(LibraryLockGuard("test"), &cfg, kProduct, XOLTLOG_DEFAULT_ORIGINATOR, nullptr);
    xoltLogCfgSetDirectory(&cfg, (logs_ + "/").c_str(), nullptr);
    xoltLogCfgSetRolloverMode(&cfg, XOLTLOG_ROLLOVER_FILE_SIZE);
    xoltLogCfgSetMaxFileSize(&cfg, 8);
    xoltLogCfgSetNumberOfLogFiles(&cfg, 3);
    xoltLogCfgEnableLogRecycling(&cfg);
    ASSERT_EQ(xoltLogWriteCfg(kProduct, XOLTLOG_DEFAULT_ORIGINATOR, &cfg), 0u);
    xoltLogFreeCfg(&cfg);
  }
  void TearDown() override {
    unsetenv("XOLTLOG_CFG_LOC");
    forget_store_location();
  }

  void write(int first, int count, int pause_us) const {
    const pid_t writer = spawn_helper(
        "write_markers", {std::to_string(first), std::to_string(count), std::to_string(pause_us)});
    ASSERT_EQ(wait_for_exit(writer), 0);
  }

  TempDir root_;
  std::string logs_ = root_.file("logs");
};

std::vector<int> markers_in(const std::vector<std::string>& lines, std::set<std::string>* files) {
  std::vector<int> markers;
  for (const std::string& line : lines) {
    const json value = json::parse(line);
    EXPECT_FALSE(value.contains("damaged")) << line;
    if (files != nullptr) files->insert(value.value("file", ""));
    markers.push_back(std::stoi(value.value("message", "").substr(7, 6)));
  }
  return markers;
}

std::vector<int> range(int count) {
  std::vector<int> all(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) all[static_cast<std::size_t>(k)] = k;
  return all;
}

TEST_F(ToolShowSeries, ASeriesIsShownOldestFileFirstAndFollowedAcrossRolloverAndRecycling) {
  write(0, 60, 0);
  const ToolRun listed = run_tool({"show", "--json", "--product", "shop", "--originator", "4"});
  ASSERT_EQ(listed.code, 0) << listed.err;
  std::set<std::string> first_files;
  EXPECT_EQ(markers_in(lines_of(listed.out), &first_files), range(60));
  EXPECT_GE(first_files.size(), 2u) << "the series did not roll over";

  const std::string out = root_.file("follow.json");
  Running follower({"show", "--json", "--follow", "--product", "shop", "--originator", "4"}, out);
  ASSERT_TRUE(poll_until([&] { return lines_of(read_file(out)).size() >= 60; },
                         std::chrono::seconds(10)));
  write(60, 400, 2000);
  EXPECT_TRUE(poll_until([&] { return lines_of(read_file(out)).size() >= 460; },
                         std::chrono::seconds(15)));
  EXPECT_EQ(follower.stop(SIGINT), 0);
  std::set<std::string> files;
  EXPECT_EQ(markers_in(lines_of(read_file(out)), &files), range(460));
  std::size_t gone = 0;
  for (const std::string& file : files) gone += std::filesystem::exists(file) ? 0u : 1u;
  EXPECT_GT(files.size(), 8u);
  EXPECT_GT(gone, 0u) << "recycling deleted no file while it was followed";
}

TEST_F(ToolShowSeries, ALineBeingWrittenIsShownOnceItEnds) {
  const std::string path = logs_ + "/21-4-1-260310-0000000000.log";
  const std::string record = "2,21,4,4,1,1773136800000,1,2,0:,4:half,1:w,0,(0|)\n";
  std::ofstream(path, std::ios::binary) << "$Header 65543,21,4,1773136800,0,alpha\n";
  const std::string out = root_.file("follow.txt");
  Running follower({"show", "--json", "--follow", path}, out);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  std::ofstream(path, std::ios::binary | std::ios::app) << record.substr(0, 20) << std::flush;
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(read_file(out), "");
  std::ofstream(path, std::ios::binary | std::ios::app) << record.substr(20) << std::flush;
  EXPECT_TRUE(poll_until([&] { return !read_file(out).empty(); }, std::chrono::seconds(5)));
  EXPECT_EQ(follower.stop(SIGTERM), 0);
  const std::vector<std::string> lines = lines_of(read_file(out));
  ASSERT_EQ(lines.size(), 1u) << read_file(out);
  EXPECT_EQ(json::parse(lines[0])["message"], "half");
}

}  // namespace
}  // namespace xoltlog::test
