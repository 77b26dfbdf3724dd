#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstring>

#include "api/handle_fixture.h"
#include "support/syslog_listener.h"
#include "xoltlog/config.h"
#include "xoltlog/log.h"
#include "xoltlog/writer.h"

namespace xoltlog::test {
namespace {

using HandleOpen = HandleStore;

TEST_F(HandleOpen, ZeroIdentifierLeavesTheHandleUntouched) {
  struct Case { std::uint32_t product, originator, file_originator; };
  for (const Case c : {Case{0, 5, 5}, Case{kProduct, 0, 5}, Case{kProduct, 5, 0}}) {
    XoltLogHandle handle;
    std::memset(&handle, 0xA5, sizeof handle);
    EXPECT_EQ(xoltLogOpen2(c.product, c.originator, c.file_originator, &handle), 3u);
    XoltLogHandle untouched;
    std::memset(&untouched, 0xA5, sizeof untouched);
    EXPECT_EQ(std::memcmp(&handle, &untouched, sizeof handle), 0) << c.originator;
  }
  EXPECT_EQ(xoltLogOpen(kProduct, 5, nullptr), 3u);
  OpenHandle unregistered;
  EXPECT_EQ(xoltLogOpen(kProduct + 1, 5, &unregistered.handle), 6u);
}

TEST_F(HandleOpen, SequenceNumbersFollowTheCounterAndLevelsAreStoredAsGiven) {
  OpenHandle h;
  ASSERT_EQ(xoltLogOpen(kProduct, 5, &h.handle), 0u);
  auto next_message = [&] {
    XoltLogMsg msg{};
    EXPECT_EQ(xoltLogInitMsg(&msg, &h.handle, 2, "text"), 0u);
    const std::uint32_t sequence = msg.sequence;
    xoltLogFreeMsg(&msg);
    return sequence;
  };
  EXPECT_EQ(next_message(), 1u);
  EXPECT_EQ(next_message(), 2u);
  EXPECT_EQ(xoltLogSetSequenceNumber(&h.handle, 100), 0u);
  EXPECT_EQ(next_message(), 100u);
  std::uint32_t counter = 0;
  EXPECT_EQ(xoltLogGetSequenceNumber(&h.handle, &counter), 0u);
  EXPECT_EQ(counter, 101u);
  std::int32_t debug = 0, diag = 0, secure = 0;
  EXPECT_EQ(xoltLogSetDebugLevel(&h.handle, 9) | xoltLogSetDiagLevel(&h.handle, -4) |
                xoltLogSetSecureAuditLevel(&h.handle, 7),
            0u);
  EXPECT_EQ(xoltLogGetDebugLevel(&h.handle, &debug) | xoltLogGetDiagLevel(&h.handle, &diag) |
                xoltLogGetSecureAuditLevel(&h.handle, &secure),
            0u);
  EXPECT_EQ((std::array{debug, diag, secure}), (std::array{9, -4, 7}));
  for (const std::uint32_t refused :
       {xoltLogGetSequenceNumber(&h.handle, nullptr), xoltLogSetSequenceNumber(nullptr, 1),
        xoltLogSetDiagLevel(nullptr, 1), xoltLogGetDebugLevel(&h.handle, nullptr)}) {
    EXPECT_EQ(refused, 3u);
  }
}

TEST_F(HandleOpen, OneProductAndOriginatorShareOneWriter) {
  OpenHandle first, second, other;
  ASSERT_EQ(xoltLogOpen(kProduct, 5, &first.handle), 0u);
  ASSERT_EQ(xoltLogOpen(kProduct, 5, &second.handle), 0u);
  ASSERT_EQ(xoltLogOpen(kProduct, 6, &other.handle), 0u);
  EXPECT_EQ(first.handle.file_writer, second.handle.file_writer);
  EXPECT_NE(first.handle.file_writer, other.handle.file_writer);
  EXPECT_EQ(xoltLogClose(&first.handle), 0u);
  EXPECT_EQ(first.handle.config, nullptr);
  EXPECT_EQ(xoltLogClose(&first.handle), 3u);  // twice
  EXPECT_EQ(xoltLogClose(nullptr), 3u);
  // The writer lives on for the handle still attached to it.
  XoltLogMsg msg{};
  ASSERT_EQ(xoltLogInitMsg(&msg, &second.handle, 2, "after the first close"), 0u);
  EXPECT_EQ(xoltLogWriteMsgWithRolloverToFile(second.handle.file_writer, &msg), 0u);
  xoltLogFreeMsg(&msg);
}

TEST_F(HandleOpen, UnreachableEventLogLeavesAWorkingHandle) {
  write_section(5, SectionValues{.flags = XOLTLOG_OUT_OSLOG});
  const SyslogSocketVariable nowhere(root_.file("no-such-socket"));
  XoltLogHandle handle{};
  ASSERT_EQ(xoltLogOpen(kProduct, 5, &handle), 22u);
  EXPECT_EQ(handle.oslog.event_log, nullptr);
  XoltLogMsg msg{};
  ASSERT_EQ(xoltLogInitMsg(&msg, &handle, 2, "to the file only"), 0u);
  EXPECT_EQ(xoltLogWriteMsgWithRolloverToFile(handle.file_writer, &msg), 0u);
  xoltLogFreeMsg(&msg);
  EXPECT_EQ(xoltLogClose(&handle), 0u);
}

TEST_F(HandleOpen, SecureHandleReportsOnlyToTheEventLog) {
  SyslogListener listener;
  const SyslogSocketVariable socket(listener.path());
  struct Case { std::int32_t flags; std::uint32_t expected; };
  for (const Case c : {Case{0, 4}, Case{XOLTLOG_OUT_OSLOG_ID, 68},
                       Case{XOLTLOG_OUT_STDOUT | XOLTLOG_OUT_STDERR | XOLTLOG_OUT_OSLOG_ID, 68}}) {
    InitialRecord cfg(1, 1);
    xoltLogCfgSetFlags(&cfg.cfg, c.flags);
    cfg.cfg.secure_audit_level = 3;
    XoltLogHandle handle{};
    ASSERT_EQ(xoltLogSecureOpen(kProduct, 9, nullptr, &cfg.cfg, &handle), 0u);
    EXPECT_EQ(handle.output_flags, c.expected);
    EXPECT_EQ(handle.secure_audit_level, 3);
    EXPECT_EQ(cfg.cfg.originator_id, 9u);
    ASSERT_NE(handle.config, nullptr);
    EXPECT_EQ(handle.config->product_id, kProduct);
    EXPECT_NE(handle.oslog.event_log, nullptr);
    EXPECT_EQ(xoltLogClose(&handle), 3u);
    EXPECT_EQ(handle.config, nullptr);
    EXPECT_EQ(handle.oslog.event_log, nullptr);
  }
  listener.stop();
  InitialRecord cfg(1, 1);
  XoltLogHandle handle{};
  EXPECT_EQ(xoltLogSecureOpen(kProduct, 9, nullptr, &cfg.cfg, &handle), 22u);
  EXPECT_EQ(xoltLogClose(&handle), 3u);
  EXPECT_EQ(xoltLogSecureOpen(kProduct, 0, nullptr, &cfg.cfg, &handle), 3u);
  EXPECT_EQ(xoltLogSecureOpen(kProduct, 9, nullptr, nullptr, &handle), 3u);
}

// The log directory cannot be made: the open fails after connecting the
// handle to its writer, which the usual close releases.
TEST_F(HandleOpen, FailedOpenIsClosedAsUsual) {
  ASSERT_EQ(close(open(root_.file("plain").c_str(), O_CREAT | O_WRONLY, 0600)), 0);
  InitialRecord section(kProduct, 8);
  ASSERT_EQ(xoltLogCfgSetDirectory(&section.cfg, root_.file("plain/sub/").c_str(), nullptr), 0u);
  ASSERT_EQ(xoltLogWriteCfg(kProduct, 8, &section.cfg), 0u);
  XoltLogHandle handle{};
  EXPECT_EQ(xoltLogOpen(kProduct, 8, &handle), 1u);
  EXPECT_EQ(xoltLogAppMsg(&handle, 0, 1, 0, "nowhere"), 5u);
  EXPECT_EQ(xoltLogClose(&handle), 0u);
  EXPECT_EQ(xoltLogClose(&handle), 3u);

  // A product without a log directory fails before the handle is attached:
  // closing says so, and releases the writer all the same.
  ASSERT_EQ(xoltLogAddProductCfg(4712, "q", root_.file("etc/q.conf").c_str()), 0u);
  XoltLogHandle undirected{};
  EXPECT_EQ(xoltLogOpen(4712, 8, &undirected), 53u);
  EXPECT_EQ(xoltLogClose(&undirected), 1u);
  EXPECT_EQ(xoltLogClose(&undirected), 3u);
}

}  // namespace
}  // namespace xoltlog::test
