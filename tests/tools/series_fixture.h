// A product whose writers roll over at 8 KB and keep 3 files, in a store
// of its own, and a writer process that logs numbered markers through it:
// the series the show and forwarding tests follow.
#pragma once

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "config/record.h"
#include "config/store_layout.h"
#include "support/helper_process.h"
#include "support/temp_dir.h"
#include "tools/run_tool.h"
#include "xoltlog/xoltlog.h"

namespace xoltlog::test {

using std::chrono::steady_clock;

inline constexpr std::uint32_t kProduct = 21;
inline constexpr std::uint32_t kOriginator = 4;
inline const std::string kPadding(200, 'p');

inline bool poll_until(const std::function<bool()>& done, std::chrono::seconds patience) {
  for (const auto end = steady_clock::now() + patience; !done();) {
    if (steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

inline std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The name of the helper process that writes records "marker-<k>" for k
// from its first argument on, as many as its second says, with its third's
// microseconds between them, through the product's own settings.
inline constexpr const char* kMarkerWriter = "write_markers";

// A process running the tool with its standard output in a file.
class Running {
 public:
  Running(const std::vector<std::string>& args, const std::string& out) {
    pid_ = fork();
    if (pid_ == 0) {
      const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(fd, 1);
      std::vector<char*> argv{const_cast<char*>(tool_path())};
      for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      execv(tool_path(), argv.data());
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

class SeriesFixture : public ::testing::Test {
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
    const pid_t writer = start_writer(first, count, pause_us);
    ASSERT_EQ(wait_for_exit(writer), 0);
  }
  static pid_t start_writer(int first, int count, int pause_us) {
    return spawn_helper(
        kMarkerWriter, {std::to_string(first), std::to_string(count), std::to_string(pause_us)});
  }

  TempDir root_;
  std::string logs_ = root_.file("logs");
};

}  // namespace xoltlog::test
