// Which outputs a message reaches for each combination of flags, what the
// console shows through the formatting library, and the events a
// listening syslog socket receives: types, categories and insertion strings.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/library_lock.h"
#include "output/dispatch.h"
#include "support/rir_messages.h"
#include "support/syslog_listener.h"
#include "xoltlog/frame.h"
#include "xoltlog/output.h"

namespace xoltlog {
namespace {

class Dispatch : public ::testing::Test {
 protected:
  Dispatch() {
    XoltLogEventSource source{};
    std::strcpy(source.name, "disp");
    source.category = 3;
    EXPECT_EQ(osLogOpen(&source, &handle_.oslog), 0);
  }
  ~Dispatch() override {
    osLogClose(&handle_.oslog);
    xoltLogFreeMsg(&msg_);
  }

  std::uint32_t dispatch(std::uint32_t flags) {
    const LibraryLockGuard held("Dispatch()");
    return dispatch_outputs(held, handle_, msg_, flags);
  }
  void message(std::uint32_t type, const char* text, std::uint32_t severity = 0) {
    xoltLogFreeMsg(&msg_);
    msg_.type = type;
    msg_.text = xoltLogSafeStrdup(text);
    msg_.attr.severity = severity;
    msg_.who_or_subject = const_cast<char*>("bob");
    msg_.sequence = 41;
    msg_.process_id = 7;
    msg_.thread_id = 8;
  }
  // "type=<n> strings" of the next event, or "none".
  std::string next_event() {
    const std::optional<std::string> datagram =
        listener_.receive(std::chrono::milliseconds(50));
    if (!datagram) return "none";
    const std::size_t type = datagram->find("type=");
    return datagram->substr(type, datagram->find(']', type) - type) +
           datagram->substr(datagram->find(']', type) + 1);
  }

  test::SyslogListener listener_;
  test::SyslogSocketVariable variable_{listener_.path()};
  XoltLogHandle handle_{};
  XoltLogMsg msg_{};
};

TEST_F(Dispatch, FlagsAndKindsChooseTheOutputs) {
  struct Row {
    std::uint32_t type;
    std::uint32_t flags;
    bool out, err, event;
  };
  const Row rows[] = {
      {XOLTLOG_MSG_DEBUG, 1, true, false, false},  {XOLTLOG_MSG_DEBUG, 2, false, false, false},
      {XOLTLOG_MSG_DIAG, 2, false, true, false},   {XOLTLOG_MSG_APP, 7, true, true, true},
      {XOLTLOG_MSG_AUDIT, 1, false, false, false}, {XOLTLOG_MSG_AUDIT, 4, false, false, false},
      {XOLTLOG_MSG_CONTEXT, 3, true, false, false}, {XOLTLOG_MSG_SECURE_AUDIT, 4, false, false, true},
      {XOLTLOG_MSG_SECURE_AUDIT, 1, true, false, false},
  };
  for (const Row& row : rows) {
    message(row.type, "hello there");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(dispatch(row.flags), 0u) << row.type << "/" << row.flags;
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out.find("hello there") != std::string::npos, row.out) << row.type << "/" << row.flags;
    EXPECT_EQ(out.empty(), !row.out);
    EXPECT_EQ(err.find("hello there") != std::string::npos, row.err) << row.type << "/" << row.flags;
    EXPECT_EQ(next_event() != "none", row.event) << row.type << "/" << row.flags;
  }
}

TEST_F(Dispatch, EventTypesComeFromSeverityAndOutcome) {
  for (const auto& [severity, type] :
       {std::pair{1u, "type=2"}, {3u, "type=1"}, {4u, "type=1"}, {0u, "type=4"}, {9u, "type=4"}}) {
    message(XOLTLOG_MSG_APP, "sev", severity);
    dispatch(XOLTLOG_OUT_OSLOG);
    EXPECT_EQ(next_event(), std::string(type) + " sev") << severity;
  }
  for (const auto& [outcome, type] : {std::pair{0u, "type=8"}, {5u, "type=16"}}) {
    message(XOLTLOG_MSG_SECURE_AUDIT, "audit");
    msg_.outcome = outcome;
    EXPECT_EQ(dispatch(XOLTLOG_OUT_OSLOG), 0u);
    EXPECT_EQ(next_event(), std::string(type) + " audit");
  }
}

// A catalog message travels as its arguments, one insertion string each;
// flag 64 adds the identification string, after a printf-style text too.
TEST_F(Dispatch, InsertionStringsAndTheIdentificationString) {
  XoltLogCfg cfg{};
  cfg.product_id = 12;
  cfg.originator_id = 100;
  handle_.config = &cfg;
  message(XOLTLOG_MSG_APP, "");
  xoltLogFree(msg_.text);
  msg_.text = nullptr;
  ASSERT_EQ(rir_test::build_ex(&msg_.rir, 0, 5001, "%d %s %u", -3, "disk", 9u), 0);
  EXPECT_EQ(dispatch(XOLTLOG_OUT_OSLOG | XOLTLOG_OUT_OSLOG_ID), 0u);
  EXPECT_EQ(next_event(), "type=4 -3 | disk | 9 | 12,100,41,7,8,,bob,0 ");
  EXPECT_EQ(dispatch(XOLTLOG_OUT_OSLOG), 0u);
  EXPECT_EQ(next_event(), "type=4 -3 | disk | 9");

  message(XOLTLOG_MSG_SECURE_AUDIT, "text");
  msg_.context_token = const_cast<char*>("ctx");
  EXPECT_EQ(dispatch(XOLTLOG_OUT_OSLOG | XOLTLOG_OUT_OSLOG_ID), 0u);
  EXPECT_EQ(next_event(), "type=8 12,100,41,7,8,ctx,bob,0 text");
  msg_.context_token = nullptr;
  handle_.config = nullptr;
}

// A secure-audit message that cannot be delivered fails the call.
TEST_F(Dispatch, AFailedSecureAuditReportIsTheResult) {
  message(XOLTLOG_MSG_SECURE_AUDIT, "lost");
  listener_.stop();
  EXPECT_EQ(dispatch(XOLTLOG_OUT_OSLOG), 0xFFFFFFFFu);
  message(XOLTLOG_MSG_APP, "dropped");
  EXPECT_EQ(dispatch(XOLTLOG_OUT_OSLOG), 0u);
}

}  // namespace
}  // namespace xoltlog
