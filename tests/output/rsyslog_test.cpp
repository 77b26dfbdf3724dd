// The event-log output against a real rsyslogd, started on a private socket
// with a private configuration and output file, and stopped again: the
// events arrive one line each, with their facility, severity and text.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "output/event_log_output.h"
#include "support/syslog_listener.h"
#include "support/temp_dir.h"
#include "xoltlog/output.h"

extern char** environ;

namespace xoltlog {
namespace {

using std::chrono::steady_clock;
constexpr auto kPatience = std::chrono::seconds(15);

std::string rsyslogd_path() {
  for (const char* path : {"/usr/sbin/rsyslogd", "/sbin/rsyslogd", "/usr/local/sbin/rsyslogd"}) {
    if (access(path, X_OK) == 0) {
      return path;
    }
  }
  return "";
}

// One rsyslogd of our own; stopped (and waited for) when the test ends.
class Rsyslogd {
 public:
  explicit Rsyslogd(const test::TempDir& dir) : socket_(dir.file("log.sock")) {
    std::ofstream(dir.file("rsyslog.conf"))
        << "global(workDirectory=\"" << dir.path() << "\")\n"
        << "module(load=\"imuxsock\" SysSock.Use=\"off\")\n"
        << "input(type=\"imuxsock\" Socket=\"" << socket_ << "\")\n"
        << "template(name=\"probe\" type=\"string\" string=\"%syslogfacility-text%."
           "%syslogseverity-text% <%pri%> %programname%:%msg%\\n\")\n"
        << "user.*;authpriv.* action(type=\"omfile\" file=\"" << dir.file("out.log")
        << "\" template=\"probe\")\n";
    const std::string program = rsyslogd_path();
    const std::string config = dir.file("rsyslog.conf");
    const std::string pid_file = dir.file("rsyslogd.pid");
    std::vector<char*> argv = {const_cast<char*>(program.c_str()), const_cast<char*>("-n"),
                               const_cast<char*>("-f"), const_cast<char*>(config.c_str()),
                               const_cast<char*>("-i"), const_cast<char*>(pid_file.c_str()),
                               nullptr};
    if (program.empty() ||
        posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
      pid_ = -1;
    }
  }
  ~Rsyslogd() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      int status = 0;
      waitpid(pid_, &status, 0);
    }
  }
  Rsyslogd(const Rsyslogd&) = delete;
  Rsyslogd& operator=(const Rsyslogd&) = delete;

  bool started() const { return pid_ > 0; }
  const std::string& socket() const { return socket_; }

 private:
  std::string socket_;
  pid_t pid_ = -1;
};

// Asks until done() answers true or patience runs out; its last answer.
template <typename Done>
bool poll(Done done) {
  for (const auto end = steady_clock::now() + kPatience; !done();) {
    if (steady_clock::now() >= end) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

std::vector<std::string> lines_of(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

TEST(Rsyslogd, EventsArriveWithTheirPriorityAndText) {
  ASSERT_FALSE(rsyslogd_path().empty()) << "rsyslogd is not installed (scripts/deps.sh does it)";
  test::TempDir dir;
  Rsyslogd daemon(dir);
  ASSERT_TRUE(daemon.started());
  const test::SyslogSocketVariable variable(daemon.socket());
  XoltLogEventSource source{};
  std::strcpy(source.name, "Billing");
  source.category = 3;
  XoltLogOsLogConn connection{};
  ASSERT_TRUE(poll([&] { return osLogOpen(&source, &connection) == 0; }));

  const struct {
    std::uint16_t type;
    std::vector<const wchar_t*> strings;
    const char* line;
  } kEvents[] = {
      {2, {L"disk full", L"Größe"},
       "user.warning <12> Billing: [event=1001 category=3 type=2] disk full | Größe"},
      {16, {L"login refused\nfor root"},
       "authpriv.warning <84> Billing: [event=1001 category=3 type=16] login refused#012for root"},
      {8, {}, "authpriv.notice <85> Billing: [event=1001 category=3 type=8]"},
  };
  {
    const LibraryLockGuard held("test");
    for (const auto& event : kEvents) {
      EXPECT_EQ(report_event(held, connection, event.type, 1001, event.strings.data(),
                             event.strings.size()),
                0);
    }
  }
  EXPECT_EQ(osLogClose(&connection), 0);

  poll([&] { return lines_of(dir.file("out.log")).size() >= std::size(kEvents); });
  const std::vector<std::string> lines = lines_of(dir.file("out.log"));
  ASSERT_EQ(lines.size(), std::size(kEvents));
  for (std::size_t index = 0; index < lines.size(); ++index) {
    EXPECT_EQ(lines[index], kEvents[index].line);
  }
}

}  // namespace
}  // namespace xoltlog
