// Reading a 100 MB log file of 100-byte records line by line through
// readrecord, against the floor: plain 32 KiB reads counting line feeds.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "xoltlog/access.h"

namespace {

constexpr int kRecordSize = 100;
constexpr int kRecordsPerChunk = 10000;
constexpr int kChunks = 100;
constexpr std::int64_t kRecords = std::int64_t{kRecordsPerChunk} * kChunks;
constexpr std::int64_t kBytes = kRecords * kRecordSize;

// The file is written once, on first use, and removed when the run ends.
class RecordFile {
 public:
  RecordFile() {
    char pattern[] = "/tmp/xoltlog-read-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    dir_ = pattern;
    path_ = dir_ + "/records.log";
    std::string record = "2,5,7,7,12,1684318830123,4321,8765,0:,47:";
    record += std::string(47, 't') + ",3:svc,2,(0|)";
    record.resize(kRecordSize - 1, ' ');
    std::string chunk;
    for (int i = 0; i < kRecordsPerChunk; ++i) chunk += record + "\n";
    const int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    for (int i = 0; i < kChunks; ++i) {
      if (write(fd, chunk.data(), chunk.size()) != static_cast<ssize_t>(chunk.size())) std::abort();
    }
    close(fd);
  }
  ~RecordFile() {
    unlink(path_.c_str());
    rmdir(dir_.c_str());
  }
  const char* path() const { return path_.c_str(); }

 private:
  std::string dir_;
  std::string path_;
};

const char* record_file() {
  static const RecordFile file;
  return file.path();
}

void report(benchmark::State& state, std::int64_t records) {
  if (records != kRecords) state.SkipWithError("wrong record count");
  state.SetItemsProcessed(state.iterations() * kRecords);
  state.SetBytesProcessed(state.iterations() * kBytes);
}

void BM_ReadRecord(benchmark::State& state) {
  auto file = std::make_unique<XoltLogFileContext>();
  auto buffer = std::make_unique<XoltLogTextMsg>();
  std::int64_t records = 0;
  for (auto _ : state) {
    xoltLogOs_init(file.get());
    if (xoltLogOs_open(file.get(), record_file(), XOLTLOG_OPEN_READ, nullptr) != 0) std::abort();
    records = 0;
    for (;;) {
      init_text_msg(buffer.get());
      if (readrecord(file.get(), buffer.get()) != 1) break;
      benchmark::DoNotOptimize(buffer->storage[0]);
      ++records;
    }
    free_text_msg(buffer.get());
    xoltLogOs_close(file.get());
  }
  report(state, records);
}
BENCHMARK(BM_ReadRecord)->Unit(benchmark::kMillisecond);

void BM_PlainReadCountingLineFeeds(benchmark::State& state) {
  auto buffer = std::make_unique<char[]>(XOLTLOG_READ_BUFFER_SIZE);
  std::int64_t records = 0;
  for (auto _ : state) {
    const int fd = open(record_file(), O_RDONLY | O_CLOEXEC);
    records = 0;
    ssize_t got = 0;
    while ((got = read(fd, buffer.get(), XOLTLOG_READ_BUFFER_SIZE)) > 0) {
      const char* const end = buffer.get() + got;
      for (const char* at = buffer.get(); at < end; ++at, ++records) {
        at = static_cast<const char*>(std::memchr(at, '\n', static_cast<size_t>(end - at)));
        if (at == nullptr) break;
      }
    }
    close(fd);
  }
  report(state, records);
}
BENCHMARK(BM_PlainReadCountingLineFeeds)->Unit(benchmark::kMillisecond);

}  // namespace
