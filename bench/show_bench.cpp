// xoltlog show --json over a 1 GB series, against cat of the same files and
// against the library's own readrecord loop: records per second of each, by
// wall time and by processor time (the child's, or the loop's own).
// The series is generated once into XOLTLOG_SHOW_BENCH_DIR (default
// /var/tmp/xoltlog-show-bench) and reused by later runs.
//
//   xoltlog_show_bench [megabytes]    (default 1024)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "xoltlog/xoltlog.h"

namespace {

constexpr std::uint64_t kFileBytes = 64ull << 20;
constexpr std::int64_t kStartMs = 1773136800000;  // 2026-03-10 10:00 UTC

std::string bench_dir() {
  const char* dir = std::getenv("XOLTLOG_SHOW_BENCH_DIR");
  return dir != nullptr && dir[0] != '\0' ? dir : "/var/tmp/xoltlog-show-bench";
}

// A mix as services write it: mostly application messages of a few words,
// some diagnostics with a context, a few debug lines.
void fill(XoltLogMsg& msg, std::uint64_t n, std::string& text) {
  static const char* const kWho[] = {"billing", "scheduler", "http", "db-pool"};
  static char kContext[] = "request-7f3a";
  msg = XoltLogMsg{};
  msg.record_version = XOLTLOG_RECORD_VERSION;
  msg.type = n % 10 < 7 ? XOLTLOG_MSG_APP : n % 10 < 9 ? XOLTLOG_MSG_DIAG : XOLTLOG_MSG_DEBUG;
  msg.product_id = 12, msg.originator_id = 3, msg.file_originator = 3;
  msg.sequence = static_cast<std::uint32_t>(n);
  msg.timestamp_ms = kStartMs + static_cast<std::int64_t>(n / 4);
  msg.process_id = 4321, msg.thread_id = 8765 + static_cast<std::uint32_t>(n % 3);
  msg.utf8 = 1;
  text = "request " + std::to_string(n) + " served in " + std::to_string(n % 997) +
         " ms for client 10.0.0." + std::to_string(n % 254) + ", \"status\": ok";
  msg.text = text.data();
  msg.who_or_subject = const_cast<char*>(kWho[n % 4]);
  if (msg.type == XOLTLOG_MSG_APP) {
    msg.attr.severity = static_cast<std::uint32_t>(n % 23 == 0 ? 1 : 0);
  } else {
    msg.attr.level = static_cast<std::int32_t>(1 + n % 6);
    msg.context_token = kContext;
  }
}

std::vector<std::string> generate(const std::string& dir, std::uint64_t total) {
  std::vector<std::string> files;
  mkdir(dir.c_str(), 0755);
  const std::uint64_t count = (total + kFileBytes - 1) / kFileBytes;
  for (std::uint64_t index = 0; index < count; ++index) {
    char name[64];
    std::snprintf(name, sizeof name, "/12-3-1-260310-%010llu.log",
                  static_cast<unsigned long long>(index));
    files.push_back(dir + name);
  }
  const std::string done = dir + "/complete-" + std::to_string(total);
  if (access(done.c_str(), F_OK) == 0) return files;
  std::fprintf(stderr, "generating %llu files of 64 MB in %s\n",
               static_cast<unsigned long long>(count), dir.c_str());
  std::uint64_t n = 0;
  std::string text;
  for (const std::string& path : files) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "$Header 65543,12,3," << (kStartMs + static_cast<std::int64_t>(n / 4)) / 1000
        << ",-3600,benchhost\n";
    for (std::uint64_t bytes = 0; bytes < kFileBytes; ++n) {
      XoltLogMsg msg;
      fill(msg, n, text);
      XoltLogTextMsg line;
      if (xoltLogMsgSerialize(&msg, &line) != 0) std::abort();
      const std::uint64_t size = line.capacity - line.remaining;
      out.write(line.storage, static_cast<std::streamsize>(size));
      bytes += size;
      free_text_msg(&line);
    }
  }
  std::ofstream(done) << "ok\n";
  return files;
}

// Wall and processor seconds of one case: on a shared machine the
// processor time is the steadier figure.
struct Timing {
  double wall = 0;
  double cpu = 0;
};

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double seconds_of(const timeval& time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

double own_cpu_seconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Runs program with the arguments, its standard output to /dev/null.
Timing timed_run(const std::vector<std::string>& args) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", args[0].c_str());
  }
  return {seconds_since(start), seconds_of(usage.ru_utime) + seconds_of(usage.ru_stime)};
}

Timing readrecord_loop(const std::vector<std::string>& files, std::uint64_t& records) {
  const auto start = std::chrono::steady_clock::now();
  const double cpu_start = own_cpu_seconds();
  records = 0;
  auto context = std::make_unique<XoltLogFileContext>();
  for (const std::string& path : files) {
    xoltLogOs_init(context.get());
    if (xoltLogOs_open(context.get(), path.c_str(), 1, nullptr) != 0) std::abort();
    XoltLogHeader header{};
    if (ReadHeaderEx(context.get(), &header) != 0) std::abort();
    XoltLogTextMsg line;
    init_text_msg(&line);
    while (readrecord(context.get(), &line) == 1) {
      ++records;
      line.remaining = line.capacity;
    }
    free_text_msg(&line);
    xoltLogOs_close(context.get());
  }
  return {seconds_since(start), own_cpu_seconds() - cpu_start};
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t megabytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
  const std::vector<std::string> files = generate(bench_dir(), megabytes << 20);
  std::uint64_t records = 0;
  readrecord_loop(files, records);  // warms the page cache
  std::vector<std::string> cat{"cat"}, show{XOLTLOG_TOOL_PATH, "show", "--json"};
  cat.insert(cat.end(), files.begin(), files.end());
  show.insert(show.end(), files.begin(), files.end());
  const Timing cat_time = timed_run(cat);
  const Timing loop_time = readrecord_loop(files, records);
  const Timing show_time = timed_run(show);
  std::vector<std::string> text = show;
  text.erase(text.begin() + 2);
  const Timing text_time = timed_run(text);
  // Every record read and scanned, none rendered: the share of reading.
  std::vector<std::string> none = show;
  none.insert(none.begin() + 3, {"--until", "2020-01-01 00:00Z"});
  const Timing none_time = timed_run(none);
  std::printf("%llu records in %zu files (%llu MB)\n", static_cast<unsigned long long>(records),
              files.size(), static_cast<unsigned long long>(megabytes));
  std::printf("%-16s %8s %14s %8s %14s\n", "", "wall s", "records/s", "cpu s", "records/s");
  const auto row = [&](const char* name, const Timing& time) {
    std::printf("%-16s %8.2f %14.0f %8.2f %14.0f\n", name, time.wall,
                static_cast<double>(records) / time.wall, time.cpu,
                static_cast<double>(records) / time.cpu);
  };
  row("cat", cat_time);
  row("readrecord loop", loop_time);
  row("show --json", show_time);
  row("show (text)", text_time);
  row("show, none shown", none_time);
  std::printf("show --json / readrecord loop: %.2f wall, %.2f cpu\n",
              loop_time.wall / show_time.wall, loop_time.cpu / show_time.cpu);
  return 0;
}
