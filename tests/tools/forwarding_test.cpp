// The documented rsyslog recipe (docs/examples/rsyslog-xoltlog.conf) run by
// a real rsyslogd that follows a product's log directory, forwarding to a
// second rsyslogd on the loopback address, while a writer rolls its series
// over and recycles it: every record arrives exactly once.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>

#include <fstream>
#include <map>
#include <regex>

#include "tools/series_fixture.h"

extern char** environ;

namespace xoltlog::test {
namespace {

constexpr int kRecords = 600;
constexpr const char* kRsyslogd = "/usr/sbin/rsyslogd";

// A port on the loopback address that nothing listens on just now.
int free_port() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  const bool ok = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0;
  close(fd);
  return ok ? ntohs(address.sin_port) : -1;
}

bool accepts(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return ok;
}

// One rsyslogd in the foreground with its own configuration, work
// directory and pid file; stopped and waited for at the end.
class Rsyslogd {
 public:
  Rsyslogd(const std::string& dir, const std::string& config) {
    std::filesystem::create_directories(dir);
    const std::string config_file = dir + "/rsyslog.conf", pid_file = dir + "/rsyslogd.pid";
    std::ofstream(config_file) << "global(workDirectory=\"" << dir << "\")\n" << config;
    const char* argv[] = {kRsyslogd, "-n", "-f", config_file.c_str(), "-i", pid_file.c_str(),
                          nullptr};
    if (posix_spawn(&pid_, kRsyslogd, nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
      pid_ = -1;
    }
  }
  ~Rsyslogd() {
    if (pid_ > 0) kill(pid_, SIGTERM), waitpid(pid_, nullptr, 0);
  }
  Rsyslogd(const Rsyslogd&) = delete;
  Rsyslogd& operator=(const Rsyslogd&) = delete;
  bool running() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

 private:
  pid_t pid_ = -1;
};

std::string example_config(const std::string& logs, int port) {
  std::string text = read_file(XOLTLOG_SOURCE_DIR "/docs/examples/rsyslog-xoltlog.conf");
  text = std::regex_replace(text, std::regex("/var/log/shop/"), logs + "/");
  return std::regex_replace(text, std::regex("port=\"10514\""),
                            "port=\"" + std::to_string(port) + "\"");
}

// How often each marker arrived.
std::map<int, int> arrivals(const std::string& received) {
  std::map<int, int> count;
  static const std::regex kMarker("marker-([0-9]{6})");
  for (const std::string& line : lines_of(read_file(received))) {
    std::smatch match;
    if (std::regex_search(line, match, kMarker)) ++count[std::stoi(match[1])];
  }
  return count;
}

using RsyslogForwarding = SeriesFixture;

TEST_F(RsyslogForwarding, EveryRecordOfARollingRecycledSeriesArrivesExactlyOnce) {
  ASSERT_EQ(access(kRsyslogd, X_OK), 0) << "rsyslogd is not installed (scripts/deps.sh does it)";
  const std::string receiver_dir = root_.file("receiver");
  const std::string received = receiver_dir + "/received.log";
  const int port = free_port();
  ASSERT_GT(port, 0);
  // The receiver gives up root once its port is open.
  std::filesystem::create_directories(receiver_dir);
  chmod(receiver_dir.c_str(), 0777);
  Rsyslogd receiver(receiver_dir,
                    "global(maxMessageSize=\"64k\" privDrop.user.id=\"65534\" "
                    "privDrop.group.id=\"65534\")\n"
                    "module(load=\"imtcp\")\n"
                    "template(name=\"raw\" type=\"string\" string=\"%msg%\\n\")\n"
                    "ruleset(name=\"in\") { action(type=\"omfile\" file=\"" + received +
                        "\" template=\"raw\") }\n"
                    "input(type=\"imtcp\" address=\"127.0.0.1\" port=\"" + std::to_string(port) +
                        "\" ruleset=\"in\")\n");
  ASSERT_TRUE(poll_until([&] { return accepts(port); }, std::chrono::seconds(10)));

  write(0, 40, 0);  // files before the forwarder starts are read from their start
  Rsyslogd forwarder(root_.file("forwarder"), example_config(logs_, port));
  ASSERT_TRUE(poll_until([&] { return !arrivals(received).empty(); }, std::chrono::seconds(10)));
  write(40, kRecords - 40, 1500);

  poll_until([&] { return arrivals(received).size() >= kRecords; }, std::chrono::seconds(20));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // a late duplicate shows up
  EXPECT_TRUE(forwarder.running());
  EXPECT_TRUE(receiver.running());
  const std::map<int, int> count = arrivals(received);
  EXPECT_EQ(count.size(), static_cast<std::size_t>(kRecords));
  for (const auto& [marker, times] : count) EXPECT_EQ(times, 1) << "marker " << marker;
  std::size_t left = 0;
  for (const auto& entry : std::filesystem::directory_iterator(logs_)) {
    left += entry.path().extension() == ".log" ? 1u : 0u;
  }
  EXPECT_LE(left, 4u) << "recycling did not delete files";
}

}  // namespace
}  // namespace xoltlog::test
