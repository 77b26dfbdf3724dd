#include "peer_loggers.h"

#include <fcntl.h>
#include <log4cplus/fileappender.h>
#include <log4cplus/initializer.h>
#include <log4cplus/layout.h>
#include <log4cplus/logger.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/spdlog.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "xoltlog/config.h"
#include "xoltlog/config_read.h"
#include "xoltlog/config_write.h"
#include "xoltlog/handle.h"

namespace xoltlog_bench {
namespace {

// Size rollover on, with a limit no run reaches.
constexpr std::uint32_t kLargeLimitKb = 4000000;
constexpr std::int32_t kReloadAnHour = 3600;

[[noreturn]] void fail(const char* what, unsigned code) {
  std::fprintf(stderr, "peer bench: %s failed (%u)\n", what, code);
  std::abort();
}

void check(const char* what, std::uint32_t result) {
  if (result != 0) fail(what, result);
}

// The store's defaults for originator, changed by change, written back.
template <typename Change>
void write_section(std::uint32_t originator, Change change) {
  XoltLogCfg cfg{};
  check("xoltLogReadCfg", xoltLogReadCfg(kProduct, originator, &cfg));
  change(cfg);
  check("xoltLogWriteCfg", xoltLogWriteCfg(kProduct, originator, &cfg));
  xoltLogFreeCfg(&cfg);
}

void configure_store(const std::string& dir) {
  mkdir((dir + "/etc").c_str(), 0700);
  setenv("XOLTLOG_REGISTRY_ROOT", dir.c_str(), 1);
  setenv("XOLTLOG_CFG_LOC", (dir + "/etc/xoltlog.conf").c_str(), 1);
  check("xoltLogAddProductCfg",
        xoltLogAddProductCfg(kProduct, "p,Product", (dir + "/etc/p.conf").c_str()));
  write_section(XOLTLOG_DEFAULT_ORIGINATOR, [&](XoltLogCfg& cfg) {
    check("directory", xoltLogCfgSetDirectory(&cfg, (dir + "/").c_str(), nullptr));
    check("rollover mode", xoltLogCfgSetRolloverMode(&cfg, XOLTLOG_ROLLOVER_FILE_SIZE));
    check("max size", xoltLogCfgSetMaxFileSize(&cfg, kLargeLimitKb));
    check("debug level", xoltLogCfgSetDebugLevel(&cfg, 1));
    check("reload", xoltLogCfgSetDynaSetting(&cfg, 0));
  });
  write_section(kOriginatorStill, [](XoltLogCfg&) {});
  write_section(kOriginatorReloading, [](XoltLogCfg& cfg) {
    check("reload", xoltLogCfgSetDynaSetting(&cfg, kReloadAnHour));
  });
}

}  // namespace

Workspace::Workspace() {
  char pattern[] = "/tmp/xoltlog-peer-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) fail("mkdtemp", 0);
  dir_ = pattern;
  configure_store(dir_);
}

Workspace::~Workspace() { std::filesystem::remove_all(dir_); }

void Workspace::empty_logs() const {
  for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
    if (entry.is_regular_file() && entry.path().extension() == ".log") {
      if (truncate(entry.path().c_str(), 0) != 0) fail("truncate", 0);
    }
  }
}

const Workspace& workspace() {
  static const log4cplus::Initializer log4cplus_running;
  static const Workspace the_workspace;
  return the_workspace;
}

XoltLogger::XoltLogger(std::uint32_t originator) {
  workspace();  // the store the handle reads
  check("xoltLogOpen", xoltLogOpen(kProduct, originator, &handle_));
}

XoltLogger::~XoltLogger() { xoltLogClose(&handle_); }

std::shared_ptr<spdlog::logger> make_spdlog(const std::string& path) {
  auto sink = std::make_shared<spdlog::sinks::basic_file_sink_mt>(path);
  auto logger = std::make_shared<spdlog::logger>("peer", std::move(sink));
  logger->set_pattern("%Y-%m-%d %H:%M:%S.%e,%P,%t,%l,%v");
  logger->set_level(spdlog::level::info);
  logger->flush_on(spdlog::level::trace);
  return logger;
}

Log4cplusLogger::Log4cplusLogger(const std::string& path) {
  log4cplus::SharedAppenderPtr appender(
      new log4cplus::FileAppender(path, std::ios_base::app, true));
  appender->setLayout(
      std::make_unique<log4cplus::PatternLayout>("%D{%Y-%m-%d %H:%M:%S.%q},%i,%t,%p,%m%n"));
  logger_ = std::make_unique<log4cplus::Logger>(log4cplus::Logger::getInstance("peer"));
  logger_->removeAllAppenders();
  logger_->addAppender(appender);
  logger_->setLogLevel(log4cplus::INFO_LOG_LEVEL);
}

Log4cplusLogger::~Log4cplusLogger() { logger_->removeAllAppenders(); }

BareLogger::BareLogger(const std::string& path)
    : fd_(open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600)),
      pid_(getpid()),
      tid_(static_cast<int>(syscall(SYS_gettid))) {
  if (fd_ < 0) fail("open", 0);
}

BareLogger::~BareLogger() { close(fd_); }

long BareLogger::log() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  const long long millis = static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
  char line[512];
  const int length =
      std::snprintf(line, sizeof line, "%lld,%d,%d,2,%u," XOLTLOG_BENCH_PRINTF_FORMAT "\n", millis,
                    pid_, tid_, sequence_++, XOLTLOG_BENCH_ARGUMENTS);
  return write(fd_, line, static_cast<std::size_t>(length));
}

}  // namespace xoltlog_bench
