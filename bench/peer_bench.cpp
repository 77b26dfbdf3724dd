// One printf-style application message of about 100 bytes, written to a
// file and flushed to the kernel with every message: xoltlog against spdlog,
// log4cplus and the floor (snprintf and one write on an O_APPEND
// descriptor), in one process and with two processes writing one file (one
// series); then the cost of a debug message that the level filters out.
// Each single-process case also counts the heap allocations and system
// calls per message (see peer_counters.h).
#include <benchmark/benchmark.h>
#include <log4cplus/logger.h>
#include <log4cplus/loggingmacros.h>
#include <spdlog/spdlog.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

#include "peer_counters.h"
#include "peer_loggers.h"
#include "xoltlog/log.h"

namespace {

using xoltlog_bench::workspace;

constexpr std::uint32_t kSeverity = 2;
constexpr int kMessagesPerProcess = 50000;
constexpr int kProbeMessages = 4096;
#define XOLTLOG_BENCH_FMT_FORMAT                                             \
  "user {} logged in from {} after {} attempts, session {}, client version " \
  "{} on host {}"

std::string log_path(const char* name) { return workspace().dir() + "/" + name + ".log"; }

// Runs log() once per iteration, emptying the files every 64 Ki messages
// outside the timing. What a message costs is counted before, on a probe
// of kProbeMessages: the kernel's tracepoint slows every system call down
// while it counts.
template <typename Log>
void run_single(benchmark::State& state, Log log) {
  for (int i = 0; i < 16; ++i) log();  // files opened, buffers grown
  {
    const xoltlog_bench::CostCounters costs;
    for (int i = 0; i < kProbeMessages; ++i) log();
    costs.per_message(state, kProbeMessages);
  }
  std::uint64_t count = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(log());
    if ((++count & 0xFFFF) == 0) {
      state.PauseTiming();
      workspace().empty_logs();
      state.ResumeTiming();
    }
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_XoltLogAppMsg(benchmark::State& state) {
  xoltlog_bench::XoltLogger logger(xoltlog_bench::kOriginatorStill);
  run_single(state, [&] {
    return xoltLogAppMsg(logger.handle(), 0, kSeverity, 0, XOLTLOG_BENCH_PRINTF_FORMAT,
                         XOLTLOG_BENCH_ARGUMENTS);
  });
}
BENCHMARK(BM_XoltLogAppMsg);

void BM_SpdlogFileSink(benchmark::State& state) {
  const auto logger = xoltlog_bench::make_spdlog(log_path("spdlog"));
  run_single(state, [&] {
    logger->info(XOLTLOG_BENCH_FMT_FORMAT, XOLTLOG_BENCH_ARGUMENTS);
    return 0;
  });
}
BENCHMARK(BM_SpdlogFileSink);

void BM_Log4cplusFileAppender(benchmark::State& state) {
  xoltlog_bench::Log4cplusLogger logger(log_path("log4cplus"));
  run_single(state, [&] {
    LOG4CPLUS_INFO_FMT(logger.get(), XOLTLOG_BENCH_PRINTF_FORMAT, XOLTLOG_BENCH_ARGUMENTS);
    return 0;
  });
}
BENCHMARK(BM_Log4cplusFileAppender);

void BM_LimitSnprintfWrite(benchmark::State& state) {
  xoltlog_bench::BareLogger logger(log_path("limit"));
  run_single(state, [&] { return logger.log(); });
}
BENCHMARK(BM_LimitSnprintfWrite);

// Two processes, each with its own logger on the one file (series), each
// timing its own kMessagesPerProcess messages from the moment both have
// their loggers ready; the iteration's time is the mean wall time per
// message of the two, and "cpu_ns/msg" their mean processor time per
// message, which other load on the machine disturbs less.
struct LoopTimes {
  double wall = 0;  // seconds
  double cpu = 0;   // seconds
};

double cpu_seconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Called by each process once its logger is set up: waits for the other
// one, then starts the process's clocks.
class StartTogether {
 public:
  StartTogether(int to_other, int from_other) : to_other_(to_other), from_other_(from_other) {}
  void operator()() {
    char byte = 1;
    if (write(to_other_, &byte, 1) != 1 || read(from_other_, &byte, 1) != 1) std::abort();
    wall_start_ = Clock::now();
    cpu_start_ = cpu_seconds();
  }
  LoopTimes elapsed() const {
    return {std::chrono::duration<double>(Clock::now() - wall_start_).count(),
            cpu_seconds() - cpu_start_};
  }

 private:
  using Clock = std::chrono::steady_clock;
  int to_other_;
  int from_other_;
  Clock::time_point wall_start_{};
  double cpu_start_ = 0;
};

struct Pipe {
  int ends[2] = {-1, -1};
  Pipe() {
    if (pipe(ends) != 0) std::abort();
  }
  ~Pipe() {
    close(ends[0]);
    close(ends[1]);
  }
};

// run(start): sets a logger up, calls start(), logs kMessagesPerProcess
// messages.
template <typename Run>
void run_two_processes(benchmark::State& state, Run run) {
  workspace();  // the store, before the processes part
  double cpu_total = 0;
  for (auto _ : state) {
    const Pipe to_child;
    const Pipe to_parent;
    const Pipe results;
    const pid_t child = fork();
    if (child == 0) {
      StartTogether start(to_parent.ends[1], to_child.ends[0]);
      run(start);
      const LoopTimes times = start.elapsed();
      _exit(write(results.ends[1], &times, sizeof times) == sizeof times ? 0 : 1);
    }
    StartTogether start(to_child.ends[1], to_parent.ends[0]);
    run(start);
    const LoopTimes own = start.elapsed();
    LoopTimes other = own;
    int status = 0;
    waitpid(child, &status, 0);
    if (read(results.ends[0], &other, sizeof other) != sizeof other) {
      state.SkipWithError("child failed");
    }
    state.SetIterationTime((own.wall + other.wall) / 2 / kMessagesPerProcess);
    cpu_total += (own.cpu + other.cpu) / 2 / kMessagesPerProcess;
    workspace().empty_logs();
  }
  state.counters["cpu_ns/msg"] = cpu_total * 1e9 / static_cast<double>(state.iterations());
}

template <typename Log>
auto repeat(Log log) {
  return [log]() mutable {
    for (int i = 0; i < kMessagesPerProcess; ++i) benchmark::DoNotOptimize(log());
  };
}

void BM_TwoProcessesXoltLogAppMsg(benchmark::State& state) {
  run_two_processes(state, [](StartTogether& start) {
    xoltlog_bench::XoltLogger logger(xoltlog_bench::kOriginatorStill);
    start();
    repeat([&] {
      return xoltLogAppMsg(logger.handle(), 0, kSeverity, 0, XOLTLOG_BENCH_PRINTF_FORMAT,
                           XOLTLOG_BENCH_ARGUMENTS);
    })();
  });
}
BENCHMARK(BM_TwoProcessesXoltLogAppMsg)->UseManualTime()->Iterations(4);

void BM_TwoProcessesSpdlog(benchmark::State& state) {
  run_two_processes(state, [](StartTogether& start) {
    const auto logger = xoltlog_bench::make_spdlog(log_path("spdlog2"));
    start();
    repeat([&] {
      logger->info(XOLTLOG_BENCH_FMT_FORMAT, XOLTLOG_BENCH_ARGUMENTS);
      return 0;
    })();
  });
}
BENCHMARK(BM_TwoProcessesSpdlog)->UseManualTime()->Iterations(4);

void BM_TwoProcessesLog4cplus(benchmark::State& state) {
  run_two_processes(state, [](StartTogether& start) {
    xoltlog_bench::Log4cplusLogger logger(log_path("log4cplus2"));
    start();
    repeat([&] {
      LOG4CPLUS_INFO_FMT(logger.get(), XOLTLOG_BENCH_PRINTF_FORMAT, XOLTLOG_BENCH_ARGUMENTS);
      return 0;
    })();
  });
}
BENCHMARK(BM_TwoProcessesLog4cplus)->UseManualTime()->Iterations(4);

void BM_TwoProcessesLimit(benchmark::State& state) {
  run_two_processes(state, [](StartTogether& start) {
    xoltlog_bench::BareLogger logger(log_path("limit2"));
    start();
    repeat([&] { return logger.log(); })();
  });
}
BENCHMARK(BM_TwoProcessesLimit)->UseManualTime()->Iterations(4);

// A debug message above the handle's debug level (1): nothing is logged.
void run_filtered_debug(benchmark::State& state, std::uint32_t originator) {
  xoltlog_bench::XoltLogger logger(originator);
  run_single(state, [&] {
    return xoltLogDebugMsg(logger.handle(), 0, 5, "bench", XOLTLOG_BENCH_PRINTF_FORMAT,
                           XOLTLOG_BENCH_ARGUMENTS);
  });
}

void BM_XoltDebugFilteredReloadOff(benchmark::State& state) {
  run_filtered_debug(state, xoltlog_bench::kOriginatorStill);
}
BENCHMARK(BM_XoltDebugFilteredReloadOff);

void BM_XoltDebugFilteredReloadOn(benchmark::State& state) {
  run_filtered_debug(state, xoltlog_bench::kOriginatorReloading);
}
BENCHMARK(BM_XoltDebugFilteredReloadOn);

void BM_SpdlogDebugFiltered(benchmark::State& state) {
  const auto logger = xoltlog_bench::make_spdlog(log_path("spdlog-filtered"));
  run_single(state, [&] {
    logger->debug(XOLTLOG_BENCH_FMT_FORMAT, XOLTLOG_BENCH_ARGUMENTS);
    return 0;
  });
}
BENCHMARK(BM_SpdlogDebugFiltered);

}  // namespace
