// The write path on prepared records against a bare write of the same line
// on an O_APPEND descriptor, for one process and for two processes writing
// one series (or one file).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "bounded_file.h"
#include "config/record.h"
#include "message/record_serializer.h"
#include "message/text_buffer.h"
#include "writer/file_writer.h"
#include "xoltlog/frame.h"
#include "xoltlog/writer.h"

namespace {

constexpr int kRecordsPerProcess = 20000;
// Size rollover on, with a limit no run reaches.
constexpr std::uint32_t kLargeLimitKb = 4000000;

class BenchSeries {
 public:
  // A series in dir, or in a directory of its own (removed at the end).
  explicit BenchSeries(std::string dir = {}) : dir_(std::move(dir)), owns_dir_(dir_.empty()) {
    if (owns_dir_) {
      char pattern[] = "/tmp/xoltlog-writer-bench-XXXXXX";
      if (mkdtemp(pattern) == nullptr) std::abort();
      dir_ = pattern;
    }
    xoltlog::init_config(xoltlog::LibraryLockGuard("BenchSeries"), &cfg_, 5, 7, nullptr);
    xoltLogCfgSetDirectory(&cfg_, dir_.c_str(), nullptr);
    xoltLogCfgSetRolloverMode(&cfg_, XOLTLOG_ROLLOVER_FILE_SIZE);
    xoltLogCfgSetMaxFileSize(&cfg_, kLargeLimitKb);
    handle_.file_writer = xoltlog::new_file_writer();
    if (xoltLogOpenFile(&handle_, &cfg_, &cfg_) != XOLTLOG_OK) std::abort();
    xoltLogInitMsg(&msg_, &handle_, XOLTLOG_MSG_APP,
                   "user alice logged in from 10.0.0.7 after 3 attempts, session 42, "
                   "client version 7.4.1 on host db-07");
    xoltLogSetAppAttrEx(&msg_, "auth", 0);
  }
  ~BenchSeries() {
    xoltLogFreeMsg(&msg_);
    xoltLogCloseFile(&handle_);
    xoltLogFreeCfg(handle_.config);
    xoltLogFree(handle_.config);
    xoltLogFreeCfg(&cfg_);
    if (owns_dir_) std::filesystem::remove_all(dir_);
  }
  uint32_t write() { return xoltLogWriteMsgWithRolloverToFile(handle_.file_writer, &msg_); }
  // The record's line, as the writer would append it.
  std::string line() {
    XoltLogTextMsg buffer;
    xoltlog::serialize_record(msg_, buffer);
    std::string text(xoltlog::text_content(buffer));
    xoltlog::free_text_buffer(buffer);
    return text;
  }
  const std::string& dir() const { return dir_; }
  // A descriptor of the series' one file, for emptying it; the caller closes it.
  int open_current_file() const {
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      if (entry.path().extension() == ".log")
        return open(entry.path().c_str(), O_WRONLY | O_CLOEXEC);
    }
    return -1;
  }

 private:
  std::string dir_;
  bool owns_dir_;
  XoltLogCfg cfg_{};
  XoltLogHandle handle_{};
  XoltLogMsg msg_{};
};

void BM_WriterWriteRecord(benchmark::State& state) {
  BenchSeries series;
  const int fd = series.open_current_file();
  std::uint64_t count = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(series.write());
    xoltlog_bench::empty_now_and_then(state, fd, count);
  }
  close(fd);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriterWriteRecord);

void BM_BareWriteSameLine(benchmark::State& state) {
  BenchSeries series;
  series.write();  // stamps the record's version as the writer does
  const std::string line = series.line();
  const std::string path = series.dir() + "/bare.log";
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  std::uint64_t count = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(::write(fd, line.data(), line.size()));
    xoltlog_bench::empty_now_and_then(state, fd, count);
  }
  close(fd);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BareWriteSameLine);

// Two processes, each with its own writer (or descriptor) on one series (or
// file), kRecordsPerProcess records each; items are the records of both.
template <typename MakeLoop>
void run_two_processes(benchmark::State& state, MakeLoop make_loop) {
  for (auto _ : state) {
    const pid_t child = fork();
    if (child == 0) {
      make_loop()();
      _exit(0);
    }
    make_loop()();
    int status = 0;
    waitpid(child, &status, 0);
  }
  state.SetItemsProcessed(state.iterations() * 2 * kRecordsPerProcess);
}

void BM_TwoProcessesWriter(benchmark::State& state) {
  char pattern[] = "/tmp/xoltlog-writer-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) std::abort();
  const std::string dir = pattern;
  run_two_processes(state, [&] {
    return [&] {
      BenchSeries series(dir);
      for (int i = 0; i < kRecordsPerProcess; ++i) series.write();
    };
  });
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_TwoProcessesWriter)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_TwoProcessesBareWrite(benchmark::State& state) {
  BenchSeries series;
  series.write();
  const std::string line = series.line();
  const std::string path = series.dir() + "/bare.log";
  run_two_processes(state, [&] {
    return [&] {
      const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
      for (int i = 0; i < kRecordsPerProcess; ++i) {
        benchmark::DoNotOptimize(::write(fd, line.data(), line.size()));
      }
      close(fd);
    };
  });
}
BENCHMARK(BM_TwoProcessesBareWrite)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
