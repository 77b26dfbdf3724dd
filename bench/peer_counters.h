// What one logged message costs besides time: heap allocations (every
// malloc family call of the process, counted by the bench binary's own
// malloc, which operator new goes through as well) and system calls (the
// kernel's raw_syscalls:sys_enter tracepoint, counted for this thread by a
// perf event). Both are read around a benchmark's timed loop.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

namespace xoltlog_bench {

// Heap allocations so far (malloc, calloc, realloc, aligned forms).
std::uint64_t allocations() noexcept;

// System calls of this thread since it was made; -1 when the kernel does not
// offer the tracepoint (then run the benchmark under `strace -c -f`).
class SyscallCounter {
 public:
  SyscallCounter() noexcept;
  ~SyscallCounter();
  SyscallCounter(const SyscallCounter&) = delete;
  SyscallCounter& operator=(const SyscallCounter&) = delete;
  std::int64_t read() const noexcept;

 private:
  int fd_ = -1;
};

// Reads both counters at construction; per_message() sets the state's
// counters "allocs/msg" and "syscalls/msg" for the messages since.
class CostCounters {
 public:
  CostCounters() noexcept : allocations_(allocations()), syscalls_(counter_.read()) {}
  void per_message(benchmark::State& state, int messages) const;

 private:
  SyscallCounter counter_;
  std::uint64_t allocations_;
  std::int64_t syscalls_;
};

}  // namespace xoltlog_bench
