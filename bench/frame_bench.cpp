// The library lock is taken for every message: its uncontended cost is the
// floor under every entry point.
#include <benchmark/benchmark.h>

#include <mutex>

#include "xoltlog/frame.h"
#include "xoltlog/handle.h"

namespace {

void BM_LibraryLockUncontended(benchmark::State& state) {
  for (auto _ : state) {
    xoltLockCommon("bench()");
    xoltUnlockCommon("bench()");
  }
}
BENCHMARK(BM_LibraryLockUncontended);

// Baseline: a bare recursive mutex, what the lock costs without its owner
// table.
void BM_BareRecursiveMutex(benchmark::State& state) {
  static std::recursive_mutex mutex;
  for (auto _ : state) {
    mutex.lock();
    mutex.unlock();
  }
}
BENCHMARK(BM_BareRecursiveMutex);

void BM_SequenceNumber(benchmark::State& state) {
  XoltLogHandle handle{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(GetNextSequenceNumber(&handle));
  }
}
BENCHMARK(BM_SequenceNumber)->Threads(1)->Threads(2);

}  // namespace
