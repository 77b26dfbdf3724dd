// One event-log report of an application message to a listening datagram
// socket: building the datagram and one send, the receiver draining on
// another thread.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "frame/library_lock.h"
#include "output/event_log_output.h"
#include "platform/event_log.h"
#include "xoltlog/output.h"

namespace {

class DrainingListener {
 public:
  DrainingListener() {
    char pattern[] = "/tmp/xoltlog-syslog-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    dir_ = pattern;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = dir_ + "/log";
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    fd_ = socket(AF_UNIX, SOCK_DGRAM, 0);
    if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) std::abort();
    const timeval wake{0, 50000};  // so that the drain notices the end
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &wake, sizeof wake);
    setenv("XOLTLOG_SYSLOG_SOCKET", path.c_str(), 1);
    drain_ = std::thread([this] {
      char buffer[9000];
      while (!stop_.load()) {
        recv(fd_, buffer, sizeof buffer, 0);
      }
    });
  }
  ~DrainingListener() {
    stop_ = true;
    drain_.join();
    close(fd_);
    unsetenv("XOLTLOG_SYSLOG_SOCKET");
    std::filesystem::remove_all(dir_);
  }

 private:
  std::string dir_;
  int fd_ = -1;
  std::atomic<bool> stop_{false};
  std::thread drain_;
};

void BM_EventLogReport(benchmark::State& state) {
  DrainingListener listener;
  XoltLogEventSource source{};
  std::strcpy(source.name, "bench");
  XoltLogOsLogConn connection{};
  if (osLogOpen(&source, &connection) != 0) {
    state.SkipWithError("no event log");
    return;
  }
  const wchar_t* strings[] = {L"user alice logged in from 10.0.0.7 after 3 attempts"};
  const xoltlog::LibraryLockGuard held("BM_EventLogReport()");
  for (auto _ : state) {
    benchmark::DoNotOptimize(xoltlog::report_event(
        held, connection, xoltlog::platform::kEventInformation, 0, strings, 1));
  }
  osLogClose(&connection);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EventLogReport);

}  // namespace
