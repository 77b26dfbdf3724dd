// The event-log output against a listening datagram socket: what one report
// puts on the wire, and how opening and reporting fail.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "output/event_log_output.h"
#include "platform/code_page.h"
#include "platform/event_log.h"
#include "platform/posix/syslog_datagram.h"
#include "support/syscall_override.h"
#include "support/syslog_listener.h"
#include "xoltlog/output.h"

namespace xoltlog {
namespace {

struct Datagram {
  int priority = -1;
  std::string source;
  unsigned long pid = 0;
  unsigned long event_id = 0;
  unsigned long category = 0;
  unsigned long type = 0;
  std::string strings;  // everything after the bracket
};

Datagram parse(const std::string& datagram) {
  static const std::regex kFrame(
      R"(<(\d+)>[A-Z][a-z]{2} [ 1-3]\d \d\d:\d\d:\d\d ([^ \[]*)\[(\d+)\]: )"
      R"(\[event=(\d+) category=(\d+) type=(\d+)\]((.|\n)*))");
  std::smatch m;
  if (!std::regex_match(datagram, m, kFrame)) {
    ADD_FAILURE() << "not a syslog datagram: " << datagram;
    return {};
  }
  return {std::stoi(m[1]), m[2], std::stoul(m[3]), std::stoul(m[4]), std::stoul(m[5]),
          std::stoul(m[6]), m[7]};
}

XoltLogEventSource source_named(const char* name, uint16_t category) {
  XoltLogEventSource source{};
  std::strncpy(source.name, name, sizeof source.name - 1);
  source.category = category;
  return source;
}

class EventLogTest : public ::testing::Test {
 protected:
  ~EventLogTest() override { osLogClose(&connection_); }

  void open(const XoltLogEventSource& source) { ASSERT_EQ(osLogOpen(&source, &connection_), 0); }

  int32_t report(uint16_t type, uint32_t id, const std::vector<const wchar_t*>& strings) {
    const LibraryLockGuard held("test");
    return report_event(held, connection_, type, id, strings.data(), strings.size());
  }

  Datagram report_and_receive(uint16_t type, uint32_t id,
                              const std::vector<const wchar_t*>& strings) {
    EXPECT_EQ(report(type, id, strings), 0);
    const auto datagram = listener_.receive();
    EXPECT_TRUE(datagram.has_value());
    return datagram ? parse(*datagram) : Datagram{};
  }

  test::SyslogListener listener_;
  test::SyslogSocketVariable variable_{listener_.path()};
  XoltLogOsLogConn connection_{};
};

TEST_F(EventLogTest, EachEventTypeGetsItsFacilityAndSeverity) {
  open(source_named("Billing", 7));
  const std::pair<uint16_t, int> kCases[] = {{1, 8 + 3}, {2, 8 + 4},   {4, 8 + 6},
                                              {8, 80 + 5}, {16, 80 + 4}, {3, 8 + 6}};
  for (const auto& [type, priority] : kCases) {
    const Datagram got = report_and_receive(type, 4711, {L"x"});
    EXPECT_EQ(got.priority, priority) << "type " << type;
    EXPECT_EQ(std::tuple(got.type, got.event_id, got.category, got.source, got.pid),
              std::tuple(static_cast<unsigned long>(type), 4711ul, 7ul, std::string("Billing"),
                         static_cast<unsigned long>(getpid())));
  }
}

// Strings joined by " | ", a missing one empty; control and invalid
// characters travel escaped.
TEST_F(EventLogTest, StringsTravelJoinedAndEscaped) {
  open(source_named("Application", 0));
  EXPECT_EQ(report_and_receive(platform::kEventWarning, 12, {L"disk", nullptr, L"Größe €"}).strings,
            " disk |  | Größe €");
  EXPECT_EQ(report_and_receive(platform::kEventAuditSuccess, 0, {}).strings, "");
  const struct {
    const wchar_t* text;
    const char* sent;
  } kCases[] = {
      {L"two\nlines\r\n", " two#012lines#015#012"},
      {L"tab\tbell\a", " tab#011bell#007"},
      {L"del\x7F next\x85", " del#177 next#205"},
      {L"lone \xD800 surrogate", " lone \xEF\xBF\xBD surrogate"},
      {L"beyond \x110000", " beyond \xEF\xBF\xBD"},
      {L"#012 stays", " #012 stays"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(report_and_receive(4, 1, {c.text}).strings, c.sent);
  }
}

TEST_F(EventLogTest, SourceNamesBecomeOneTagWhateverTheirLength) {
  XoltLogEventSource full{};
  std::memset(full.name, 'x', sizeof full.name);  // 80 characters, no terminator
  full.name[0] = 'A';
  open(full);
  EXPECT_EQ(report_and_receive(4, 1, {}).source, "A" + std::string(79, 'x'));
  osLogClose(&connection_);

  open(source_named("My App: [db]", 0));
  EXPECT_EQ(report_and_receive(4, 1, {}).source, "My_App___db_");
}

TEST_F(EventLogTest, LongTextIsCutAtACharacterWithinTheBound) {
  open(source_named("Application", 0));
  const std::wstring long_text(10000, L'\u00E9');
  ASSERT_EQ(report(4, 1, {long_text.c_str(), L"second"}), 0);
  const auto datagram = listener_.receive();
  ASSERT_TRUE(datagram.has_value());
  EXPECT_LE(datagram->size(), platform::posix::kMaxSyslogDatagram);
  EXPECT_GT(datagram->size(), platform::posix::kMaxSyslogDatagram - 2);
  EXPECT_TRUE(platform::is_well_formed_utf8(*datagram));
  EXPECT_EQ(datagram->find("second"), std::string::npos);
}

TEST_F(EventLogTest, FailuresGiveTheirResults) {
  const XoltLogEventSource source = source_named("Application", 9);
  EXPECT_EQ(osLogOpen(nullptr, &connection_), -3);
  EXPECT_EQ(osLogOpenEx(&source, nullptr), -3);
  EXPECT_EQ(osLogClose(nullptr), -3);
  EXPECT_EQ(report(4, 1, {}), -1) << "a connection that is not open";

  listener_.stop();
  EXPECT_EQ(osLogOpen(&source, &connection_), -1) << "nobody listens";
  EXPECT_EQ(connection_.event_log, nullptr);
  EXPECT_EQ(connection_.category, 9);
  EXPECT_EQ(osLogClose(&connection_), 0);
}

// A failed send, or a receiver gone away, fails that report only.
TEST_F(EventLogTest, FailedDeliveryIsTheReportsFailureAndRecovers) {
  open(source_named("Application", 0));
  test::SyscallOverride fault;
  fault.table().send = [](int, const void*, size_t, int) -> ssize_t { return errno = ENOBUFS, -1; };
  EXPECT_EQ(report(16, 1, {L"lost"}), -1);
  fault.table().send = fault.real().send;
  EXPECT_EQ(report_and_receive(16, 2, {L"kept"}).strings, " kept");
  listener_.stop();
  EXPECT_EQ(report(8, 1, {L"nobody"}), -1);
  listener_.restart();
  EXPECT_EQ(report_and_receive(8, 2, {L"again"}).strings, " again");
}

TEST_F(EventLogTest, TheSocketIsNotInheritedByPrograms) {
  test::SyscallOverride spy;
  static int seen_type;
  seen_type = 0;
  spy.table().socket = [](int domain, int type, int protocol) {
    seen_type = type;
    return platform::posix::real_syscalls().socket(domain, type, protocol);
  };
  open(source_named("Application", 0));
  EXPECT_NE(seen_type & SOCK_CLOEXEC, 0);
}

}  // namespace
}  // namespace xoltlog
