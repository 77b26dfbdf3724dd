#include "peer_counters.h"

#include <linux/perf_event.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

// glibc's own allocator under its internal names: the counting functions
// below take the public names for the whole process (the libraries
// included) and hand every call on. free is left alone: it is not counted.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

namespace {

std::atomic<std::uint64_t> g_allocations{0};

void count() noexcept { g_allocations.fetch_add(1, std::memory_order_relaxed); }

// The tracepoint's number as the kernel's tracing file system names it.
long syscall_tracepoint_id() noexcept {
  for (const char* path : {"/sys/kernel/tracing/events/raw_syscalls/sys_enter/id",
                           "/sys/kernel/debug/tracing/events/raw_syscalls/sys_enter/id"}) {
    if (std::FILE* file = std::fopen(path, "r")) {
      long id = -1;
      const int read = std::fscanf(file, "%ld", &id);
      std::fclose(file);
      if (read == 1) return id;
    }
  }
  return -1;
}

}  // namespace

extern "C" {

void* malloc(std::size_t size) {
  count();
  return __libc_malloc(size);
}

void* calloc(std::size_t count_of, std::size_t size) {
  count();
  return __libc_calloc(count_of, size);
}

void* realloc(void* block, std::size_t size) {
  count();
  return __libc_realloc(block, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
  count();
  return __libc_memalign(alignment, size);
}

int posix_memalign(void** block, std::size_t alignment, std::size_t size) {
  count();
  void* result = __libc_memalign(alignment, size);
  if (result == nullptr) return ENOMEM;
  *block = result;
  return 0;
}

}  // extern "C"

namespace xoltlog_bench {

std::uint64_t allocations() noexcept { return g_allocations.load(std::memory_order_relaxed); }

SyscallCounter::SyscallCounter() noexcept {
  const long id = syscall_tracepoint_id();
  if (id < 0) return;
  perf_event_attr attr{};
  attr.type = PERF_TYPE_TRACEPOINT;
  attr.size = sizeof attr;
  attr.config = static_cast<std::uint64_t>(id);
  // This thread only, on any processor.
  fd_ = static_cast<int>(syscall(SYS_perf_event_open, &attr, 0, -1, -1, PERF_FLAG_FD_CLOEXEC));
}

SyscallCounter::~SyscallCounter() {
  if (fd_ >= 0) close(fd_);
}

std::int64_t SyscallCounter::read() const noexcept {
  std::uint64_t value = 0;
  if (fd_ < 0 || ::read(fd_, &value, sizeof value) != sizeof value) return -1;
  return static_cast<std::int64_t>(value);
}

void CostCounters::per_message(benchmark::State& state, int count) const {
  // Reading the counter is itself one system call, which is left out.
  const std::int64_t syscalls_now = counter_.read();
  const double messages = count;
  state.counters["allocs/msg"] = static_cast<double>(allocations() - allocations_) / messages;
  state.counters["syscalls/msg"] =
      syscalls_ < 0 || syscalls_now < 0
          ? -1.0
          : static_cast<double>(syscalls_now - syscalls_ - 1) / messages;
}

}  // namespace xoltlog_bench
