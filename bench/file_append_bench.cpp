// Appending a 120-byte record: the cross-process append under the file's
// lock against a bare write on an O_APPEND descriptor, the floor the kernel
// sets.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bounded_file.h"
#include "platform/posix/file_context.h"
#include "xoltlog/platform.h"

namespace {

const std::string kRecord =
    "2,5,7,7,12,1684318830123,4321,8765,0:,71:user alice logged in from 10.0.0.7 "
    "after 3 attempts, session 42,3:svc,0,(0|)\n";

class BenchFile {
 public:
  BenchFile() {
    char pattern[] = "/tmp/xoltlog-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    dir_ = pattern;
    path_ = dir_ + "/bench.log";
  }
  ~BenchFile() { std::filesystem::remove_all(dir_); }
  const std::string& path() const { return path_; }

 private:
  std::string dir_;
  std::string path_;
};

using xoltlog_bench::empty_now_and_then;

void BM_BareWriteOAppend(benchmark::State& state) {
  BenchFile file;
  const int fd = open(file.path().c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  std::uint64_t count = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(write(fd, kRecord.data(), kRecord.size()));
    empty_now_and_then(state, fd, count);
  }
  close(fd);
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kRecord.size()));
}
BENCHMARK(BM_BareWriteOAppend);

void BM_OsAppendLocked(benchmark::State& state) {
  BenchFile file;
  auto context = std::make_unique<XoltLogFileContext>();
  xoltLogOs_init(context.get());
  if (xoltLogOs_open(context.get(), file.path().c_str(), 0, nullptr) != 0) {
    state.SkipWithError("open failed");
    return;
  }
  const auto size = static_cast<uint32_t>(kRecord.size());
  const int fd = xoltlog::platform::posix::descriptor_of(*context);
  std::uint64_t count = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(xoltLogOs_append(context.get(), kRecord.data(), size));
    empty_now_and_then(state, fd, count);
  }
  xoltLogOs_close(context.get());
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kRecord.size()));
}
BENCHMARK(BM_OsAppendLocked);

// What the cross-process lock alone adds to each append.
void BM_FileLockUncontended(benchmark::State& state) {
  namespace posix = xoltlog::platform::posix;
  BenchFile file;
  auto context = std::make_unique<XoltLogFileContext>();
  xoltLogOs_init(context.get());
  if (xoltLogOs_open(context.get(), file.path().c_str(), 0, nullptr) != 0) {
    state.SkipWithError("open failed");
    return;
  }
  posix::LockSlot& slot = *posix::lock_slot_of(*context);
  for (auto _ : state) {
    posix::lock_slot(slot);
    posix::unlock_slot(slot);
  }
  xoltLogOs_close(context.get());
}
BENCHMARK(BM_FileLockUncontended);

}  // namespace
