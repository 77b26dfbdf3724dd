// Keeps a benchmark's file small: a file that grows to hundreds of megabytes
// makes the write itself slower as the run goes on (and writeback of its
// dirty pages makes it noisy), so every 64 Ki records the file is emptied
// outside the timing. All variants then write into a file of the same
// bounded size.
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>

namespace xoltlog_bench {

inline void empty_now_and_then(benchmark::State& state, int fd, std::uint64_t& count) {
  if ((++count & 0xFFFF) == 0) {
    state.PauseTiming();
    if (ftruncate(fd, 0) != 0) state.SkipWithError("ftruncate failed");
    state.ResumeTiming();
  }
}

}  // namespace xoltlog_bench
