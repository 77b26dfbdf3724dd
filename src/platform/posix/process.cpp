#include "platform/process.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace xoltlog::platform {
namespace {

// Both identifiers cost a system call each time on Linux, and the library
// lock asks for the thread's on every acquisition and release, so they are
// cached; a fork gives the child new ones, hence the reset.
std::atomic<std::uint32_t> g_process_id{0};
thread_local std::uint32_t t_thread_id = 0;

void forget_identifiers_in_child() noexcept {
  g_process_id.store(0, std::memory_order_relaxed);
  t_thread_id = 0;
}

void register_fork_reset() noexcept {
  static std::once_flag registered;
  std::call_once(registered, [] { pthread_atfork(nullptr, nullptr, forget_identifiers_in_child); });
}

}  // namespace

std::uint32_t current_process_id() noexcept {
  std::uint32_t pid = g_process_id.load(std::memory_order_relaxed);
  if (pid == 0) {
    register_fork_reset();
    pid = static_cast<std::uint32_t>(::getpid());
    g_process_id.store(pid, std::memory_order_relaxed);
  }
  return pid;
}

std::uint32_t current_thread_id() noexcept {
  if (t_thread_id == 0) {
    register_fork_reset();
    t_thread_id = static_cast<std::uint32_t>(::gettid());
  }
  return t_thread_id;
}

}  // namespace xoltlog::platform
