// The four ways of logging one application message that the peer benchmark
// compares, each set up on a file of its own (or of one series) in a
// temporary directory: xoltlog through a handle, spdlog's synchronous file
// sink, log4cplus's file appender, and the floor (snprintf and one write on
// an O_APPEND descriptor). Each flushes every message to the kernel.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "xoltlog/handle.h"

namespace spdlog {
class logger;
}
namespace log4cplus {
class Logger;
}

namespace xoltlog_bench {

// The message: about 100 bytes of text from six arguments.
#define XOLTLOG_BENCH_PRINTF_FORMAT                                          \
  "user %s logged in from %s after %d attempts, session %d, client version " \
  "%s on host %s"
#define XOLTLOG_BENCH_ARGUMENTS "alice", "10.0.0.7", 3, 42, "7.4.1", "db-07"

inline constexpr std::uint32_t kProduct = 4711;
// Originators: reload off, reload on (one hour).
inline constexpr std::uint32_t kOriginatorStill = 7;
inline constexpr std::uint32_t kOriginatorReloading = 8;

// A temporary directory holding the store file, the product's
// configuration and the log series; removed at the end. The process's
// store location is set to it once: one Workspace per process.
class Workspace {
 public:
  Workspace();
  ~Workspace();
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;
  const std::string& dir() const { return dir_; }
  // Empties every log file below dir (outside the timing).
  void empty_logs() const;

 private:
  std::string dir_;
};

// The workspace shared by every case of the run.
const Workspace& workspace();

// An open handle; aborts the run when the handle cannot be opened.
class XoltLogger {
 public:
  explicit XoltLogger(std::uint32_t originator);
  ~XoltLogger();
  XoltLogger(const XoltLogger&) = delete;
  XoltLogger& operator=(const XoltLogger&) = delete;
  XoltLogHandle* handle() { return &handle_; }

 private:
  XoltLogHandle handle_{};
};

// spdlog's basic_file_sink_mt with flush on every level; level info.
std::shared_ptr<spdlog::logger> make_spdlog(const std::string& path);

// log4cplus's FileAppender with immediate flush, appending; level info.
class Log4cplusLogger {
 public:
  explicit Log4cplusLogger(const std::string& path);
  ~Log4cplusLogger();
  Log4cplusLogger(const Log4cplusLogger&) = delete;
  Log4cplusLogger& operator=(const Log4cplusLogger&) = delete;
  log4cplus::Logger& get() { return *logger_; }

 private:
  std::unique_ptr<log4cplus::Logger> logger_;
};

// The floor: snprintf of the same fields into a stack buffer, one write.
class BareLogger {
 public:
  explicit BareLogger(const std::string& path);
  ~BareLogger();
  BareLogger(const BareLogger&) = delete;
  BareLogger& operator=(const BareLogger&) = delete;
  long log();

 private:
  int fd_ = -1;
  int pid_ = 0;
  int tid_ = 0;
  std::uint32_t sequence_ = 1;
};

}  // namespace xoltlog_bench
