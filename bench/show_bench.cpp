// xoltlog show --json over a 1 GB series, against cat of the same files and
// against the library's own readrecord loop: records per second of each.
// The series is generated once into XOLTLOG_SHOW_BENCH_DIR (default
// /var/tmp/xoltlog-show-bench) and reused by later runs.
//
//   xoltlog_show_bench [megabytes]    (default 1024)
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
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

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs program with the arguments, its standard output to /dev/null.
double timed_run(const std::vector<std::string>& args) {
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
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", args[0].c_str());
  }
  return seconds_since(start);
}

double readrecord_loop(const std::vector<std::string>& files, std::uint64_t& records) {
  const auto start = std::chrono::steady_clock::now();
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
  return seconds_since(start);
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
  const double cat_seconds = timed_run(cat);
  const double loop_seconds = readrecord_loop(files, records);
  const double show_seconds = timed_run(show);
  std::vector<std::string> text = show;
  text.erase(text.begin() + 2);
  const double text_seconds = timed_run(text);
  const auto rate = [&](double seconds) { return static_cast<double>(records) / seconds; };
  std::printf("%llu records in %zu files (%llu MB)\n", static_cast<unsigned long long>(records),
              files.size(), static_cast<unsigned long long>(megabytes));
  std::printf("cat              %8.2f s  %12.0f records/s\n", cat_seconds, rate(cat_seconds));
  std::printf("readrecord loop  %8.2f s  %12.0f records/s\n", loop_seconds, rate(loop_seconds));
  std::printf("show --json      %8.2f s  %12.0f records/s\n", show_seconds, rate(show_seconds));
  std::printf("show (text)      %8.2f s  %12.0f records/s\n", text_seconds, rate(text_seconds));
  std::printf("show --json / readrecord loop: %.2f\n", loop_seconds / show_seconds);
  return 0;
}
