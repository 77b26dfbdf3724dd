#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "api/handle_fixture.h"
#include "support/rir_messages.h"
#include "support/syslog_listener.h"
#include "xoltlog/config.h"
#include "xoltlog/log.h"

namespace xoltlog::test {
namespace {

class EntryPoints : public BothStores {
 protected:
  void SetUp() override {
    BothStores::SetUp();
    ASSERT_EQ(xoltLogOpen(kProduct, 5, &h_.handle), 0u);
  }

  OpenHandle h_;
};
XOLTLOG_BOTH_STORES(EntryPoints);

TEST_P(EntryPoints, DiagnosticAndDebugLevelsFilterBeforeAnythingIsWritten) {
  ASSERT_EQ(xoltLogSetDiagLevel(&h_.handle, 2), 0u);
  ASSERT_EQ(xoltLogSetDebugLevel(&h_.handle, 2), 0u);
  struct Case {
    bool debug;
    std::int32_t level;
    std::uint32_t result;
    bool written;
    const char* marker;
  };
  for (const Case c : {Case{false, 3, 0, false, "diag-three"}, Case{false, 2, 0, true, "diag-two"},
                       Case{false, 0, 1, true, "diag-zero"}, Case{true, 3, 0, false, "dbg-three"},
                       Case{true, 1, 0, true, "dbg-one"}, Case{true, 0, 1, false, "dbg-zero"}}) {
    const std::uint32_t result =
        c.debug ? xoltLogDebugMsg(&h_.handle, 0, c.level, "who", "%s", c.marker)
                : xoltLogDiagMsg(&h_.handle, 0, c.level, "who", 0, "%s", c.marker);
    EXPECT_EQ(result, c.result) << c.marker;
    // A level outside 1..6 is refused once the record is built: not written.
    EXPECT_EQ(records(c.marker).size(), c.written && c.result == 0 ? 1u : 0u) << c.marker;
  }
  // A filtered prepared message is released all the same.
  rir_test::OwnedMsg rir;
  ASSERT_EQ(rir_test::build_ex(rir.get(), 0, 5, "%s", "prepared"), 0);
  EXPECT_EQ(xoltLogDiagMsg2L(&h_.handle, 0, 0, 3, "who", nullptr, rir.get()), 0u);
  EXPECT_TRUE(rir.zeroed());
  const std::optional<Record> diag = only_record("diag-two");
  ASSERT_TRUE(diag);
  EXPECT_EQ(diag->type(), 1u);
  EXPECT_EQ(diag->rest, "0:,8:diag-two,3:who,2,(0|)");
  const std::optional<Record> debug = only_record("dbg-one");
  ASSERT_TRUE(debug);
  EXPECT_EQ(debug->rest, "0:,7:dbg-one,3:who,1");
}

TEST_P(EntryPoints, FormattedDebugMessageIgnoresTheLevel) {
  ASSERT_EQ(xoltLogSetDebugLevel(&h_.handle, 0), 0u);
  EXPECT_EQ(xoltLogDebugMsg(&h_.handle, 0, 4, "who", "filtered %d", 4), 0u);
  EXPECT_TRUE(records("filtered").empty());
  ASSERT_EQ(xoltLogSetSequenceNumber(&h_.handle, 70), 0u);
  EXPECT_EQ(xoltLogFormattedDebugMsg(&h_.handle, 0, 4, "who", "as given %d"), 0u);
  const std::optional<Record> written = only_record("as given");
  ASSERT_TRUE(written);
  // Flag 16 is added: the handle's own number, whatever the flags said.
  EXPECT_EQ(written->sequence(), 70u);
  EXPECT_EQ(written->rest, "0:,11:as given %d,3:who,4");
  EXPECT_EQ(xoltLogFormattedDebugMsg(&h_.handle, 0, 4, "who", nullptr), 3u);
  EXPECT_EQ(xoltLogFormattedDebugMsg(&h_.handle, 0, 4, nullptr, "x"), 3u);
  EXPECT_EQ(xoltLogFormattedDebugMsg(nullptr, 0, 4, "who", "x"), 3u);
}

TEST_P(EntryPoints, SequenceArgumentReplacesTheHandlesNumberUnlessFlag16) {
  ASSERT_EQ(xoltLogSetSequenceNumber(&h_.handle, 40), 0u);
  EXPECT_EQ(xoltLogAppMsg2(&h_.handle, 500, 0, 1, 0, "caller-%d", 1), 0u);
  EXPECT_EQ(xoltLogAppMsg2(&h_.handle, 500, 16, 1, 0, "own-%d", 2), 0u);
  EXPECT_EQ(xoltLogAppMsg(&h_.handle, 0, 1, 0, "short-%d", 3), 0u);
  const std::optional<Record> caller = only_record("caller-1");
  const std::optional<Record> own = only_record("own-2");
  const std::optional<Record> shortform = only_record("short-3");
  ASSERT_TRUE(caller && own && shortform);
  EXPECT_EQ(caller->sequence(), 500u);
  // The first record took 40 from the counter all the same.
  EXPECT_EQ(own->sequence(), 41u);
  EXPECT_EQ(shortform->sequence(), 42u);
}

TEST_P(EntryPoints, ApplicationAndAuditMessagesCarryTextCatalogMessageOrBoth) {
  EXPECT_EQ(xoltLogAppMsg(&h_.handle, 0, 3, 0, "plain=%d", 7), 0u);
  EXPECT_EQ(xoltLogAppMsg(&h_.handle, 0, 3, 1234, "cat=%d", 7), 0u);
  EXPECT_EQ(xoltLogAppMsg(&h_.handle, 8, 3, 1234, "both=%d", 7), 0u);
  EXPECT_EQ(only_record("plain=7")->rest, "0:,7:plain=7,0:,3,(0|)");
  EXPECT_EQ(only_record("both=7")->rest, "0:,6:both=7,0:,3,(1234|i32:7|)");
  EXPECT_EQ(records("(1234|i32:7|)").size(), 2u);  // the catalog-only one has no text
  // A format the catalog library refuses: its mapped code, nothing logged.
  EXPECT_EQ(xoltLogAppMsgEx(&h_.handle, 0, 1, "refused", 99, "%{utf8}", nullptr), 3u);
  EXPECT_TRUE(records("refused").empty());
  EXPECT_EQ(xoltLogAuditMsg(&h_.handle, 0, "subj", 1, 77, "%s", "audited"), 0u);
  const std::optional<Record> audit = only_record("audited");
  ASSERT_TRUE(audit);
  EXPECT_EQ(audit->type(), 4u);
  EXPECT_EQ(audit->rest, "0:,0:,4:subj,1,(77|S7:audited|)");
}

TEST_P(EntryPoints, BadArgumentsAreRefusedWithThree) {
  rir_test::OwnedMsg rir;
  EXPECT_EQ(xoltLogAppMsg(nullptr, 0, 1, 0, "x"), 3u);
  EXPECT_EQ(xoltLogAppMsg(&h_.handle, 0, 1, 0, nullptr), 3u);
  EXPECT_EQ(xoltLogAppMsgEx(&h_.handle, 0, 1, nullptr, 0, "x"), 3u);
  EXPECT_EQ(xoltLogAppMsg2L(&h_.handle, 0, 8, 1, nullptr, rir.get()), 3u);
  EXPECT_EQ(xoltLogAppMsg2L(&h_.handle, 0, 0, 1, "x", nullptr), 3u);
  EXPECT_EQ(xoltLogDiagMsg(&h_.handle, 0, 1, nullptr, 0, "x"), 3u);
  EXPECT_EQ(xoltLogDebugMsg(&h_.handle, 0, 1, "who", nullptr), 3u);
  EXPECT_EQ(xoltLogAuditMsg(&h_.handle, 0, "subject", 0, 0, "x"), 3u);
  EXPECT_EQ(xoltLogAuditMsg2L(&h_.handle, 0, 0, "subject", 0, nullptr), 3u);
  EXPECT_EQ(xoltLogSecureAuditMsg(&h_.handle, 0, "subject", 0, 0, "x"), 3u);
  EXPECT_EQ(xoltLogMsg(&h_.handle, 0, nullptr), 3u);
  // Storage never opened reads as a context without its record: refused
  // when the record is set up, filtered before that at level 0.
  XoltLogHandle zeroed{};
  EXPECT_EQ(xoltLogAppMsg(&zeroed, 0, 1, 0, "to no file"), 3u);
  EXPECT_EQ(xoltLogDiagMsg(&zeroed, 0, 1, "who", 0, "filtered at level 0"), 0u);
}

TEST_P(EntryPoints, LogMsgRendersAPendingPrintfStyleMessage) {
  XoltLogMsg msg{};
  ASSERT_EQ(xoltLogInitMsg(&msg, &h_.handle, XOLTLOG_MSG_APP, nullptr), 0u);
  ASSERT_EQ(rir_test::build_text(&msg.rir, "pending %d of %s", 3, "four"), 0);
  EXPECT_EQ(xoltLogMsg(&h_.handle, 0, &msg), 0u);
  // The rendering replaced the Rir message in the caller's record.
  EXPECT_EQ(msg.rir.args, nullptr);
  xoltLogFreeMsg(&msg);
  EXPECT_EQ(only_record("pending")->rest, "0:,17:pending 3 of four,0:,0,(0|)");
}

TEST_P(EntryPoints, SecureAuditGoesOnlyToTheEventLogOfASecureHandle) {
  EXPECT_EQ(xoltLogSecureAuditMsg(&h_.handle, 0, "subj", 0, 12, "%s", "not-here"), 58u);
  EXPECT_TRUE(records("not-here").empty());

  SyslogListener listener;
  const SyslogSocketVariable socket(listener.path());
  InitialRecord cfg(1, 1);
  xoltLogCfgSetFlags(&cfg.cfg, XOLTLOG_OUT_OSLOG_ID);
  cfg.cfg.secure_audit_level = 2;
  XoltLogHandle secure{};
  ASSERT_EQ(xoltLogSecureOpen(kProduct, 9, nullptr, &cfg.cfg, &secure), 0u);
  ASSERT_EQ(xoltLogSetSequenceNumber(&secure, 33), 0u);
  EXPECT_EQ(xoltLogSecureAuditMsg(&secure, 3, "subj", 0, 12, "%s", "filtered"), 0u);
  EXPECT_EQ(xoltLogSecureAuditMsg(&secure, 2, "subj", 0, 12, "%s", "reported"), 0u);
  const std::optional<std::string> datagram = listener.receive();
  ASSERT_TRUE(datagram);
  EXPECT_NE(datagram->find(std::to_string(kProduct) + ",9,0,"), std::string::npos) << *datagram;
  EXPECT_NE(datagram->find("subj"), std::string::npos) << *datagram;
  EXPECT_FALSE(listener.receive(std::chrono::milliseconds(100)));
  EXPECT_TRUE(records("reported").empty());
  // An application message on the handle without a file still reaches the
  // outputs, but the missing file is what the caller hears.
  EXPECT_EQ(xoltLogAppMsg(&secure, 0, 0, 0, "nowhere"), 57u);
  EXPECT_EQ(xoltLogClose(&secure), 3u);
}

}  // namespace
}  // namespace xoltlog::test
