#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "api/handle_fixture.h"
#include "platform/clock.h"
#include "support/rir_messages.h"
#include "support/syslog_listener.h"
#include "xoltlog/config.h"
#include "xoltlog/log.h"

namespace xoltlog::test {
namespace {

using platform::wall_clock_millis;

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
    bool written;
    const char* marker;
  };
  for (const Case c : {Case{false, 3, false, "diag-three"}, Case{false, 2, true, "diag-two"},
                       Case{true, 3, false, "dbg-three"}, Case{true, 2, true, "dbg-two"}}) {
    const std::uint32_t result =
        c.debug ? xoltLogDebugMsg(&h_.handle, 0, c.level, "who", "%s", c.marker)
                : xoltLogDiagMsg(&h_.handle, 0, c.level, "who", 0, "%s", c.marker);
    EXPECT_EQ(result, 0u) << c.marker;
    EXPECT_EQ(records(c.marker).size(), c.written ? 1u : 0u) << c.marker;
  }
  // A filtered prepared message is released all the same.
  rir_test::OwnedMsg rir;
  ASSERT_EQ(rir_test::build_ex(rir.get(), 0, 5, "%s", "prepared"), 0);
  EXPECT_EQ(xoltLogDiagMsg2L(&h_.handle, 0, 0, 3, "who", nullptr, rir.get()), 0u);
  EXPECT_TRUE(rir.zeroed());
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

// Through a handle of originator 6 on originator 5's file: every record
// names product, both originators, this process and thread and the time.
TEST_P(EntryPoints, EveryKindLandsWithItsFields) {
  OpenHandle h;
  ASSERT_EQ(xoltLogOpen2(kProduct, 6, 5, &h.handle), 0u);
  ASSERT_EQ(xoltLogSetDiagLevel(&h.handle, 6) | xoltLogSetDebugLevel(&h.handle, 6), 0u);
  XoltLogHandle* const x = &h.handle;
  const char* const none = nullptr;
  const wchar_t* const wide_none = nullptr;
  const std::int64_t before = wall_clock_millis();
  struct Case {
    std::uint32_t result;
    const char* marker;
    std::uint32_t type;
    const char* rest;
  };
  for (const Case c : {
           Case{xoltLogAppMsg(x, 0, 3, 0, "plain=%d", 7), "plain=7", 2, "0:,7:plain=7,0:,3,(0|)"},
           Case{xoltLogAppMsg(x, 0, 3, 1234, "cat=%d", 71), "i32:71", 2,
                "0:,0:,0:,3,(1234|i32:71|)"},
           Case{xoltLogAppMsg(x, 8, 3, 1234, "both=%d", 72), "both=72", 2,
                "0:,7:both=72,0:,3,(1234|i32:72|)"},
           Case{xoltLogAppMsgEx(x, 0, 1, "alice", 0, "ex-%s", "who"), "ex-who", 2,
                "0:,6:ex-who,5:alice,1,(0|)"},
           Case{xoltLogAppMsg(x, 0, 0, 0, "nul=%s", none), "nul=", 2, "0:,10:nul=(null),0:,0,(0|)"},
           Case{xoltLogAppMsg(x, 0, 4, 90, "%s", none), "(90|", 2, "0:,0:,0:,4,(90|S6:(null)|)"},
           Case{xoltLogDiagMsg(x, 0, 5, "carol", 0, "diag %s", "plain"), "diag plain", 1,
                "0:,10:diag plain,5:carol,5,(0|)"},
           Case{xoltLogDiagMsg(x, 8, 6, "carol", 56, "diag %s", "both"), "diag both", 1,
                "0:,9:diag both,5:carol,6,(56|S4:both|)"},
           Case{xoltLogDebugMsg(x, 0, 2, "dave", "dbg %s", none), "dbg ", 0,
                "0:,10:dbg (null),4:dave,2"},
           Case{xoltLogDebugMsg(x, 0, 3, "dave", "wide %ls", wide_none), "wide ", 0,
                "0:,11:wide (null),4:dave,3"},
           Case{xoltLogAuditMsg(x, 0, "subj", 1, 77, "%s", "audited"), "audited", 4,
                "0:,0:,4:subj,1,(77|S7:audited|)"},
           Case{xoltLogAuditMsg(x, 0, nullptr, 0, 78, "%s", "unnamed"), "unnamed", 4,
                "0:,0:,0:,0,(78|S7:unnamed|)"},
       }) {
    EXPECT_EQ(c.result, 0u) << c.marker;
    const std::optional<Record> record = only_record(c.marker);
    ASSERT_TRUE(record) << c.marker;
    EXPECT_EQ(record->rest, c.rest);
    EXPECT_EQ(record->type(), c.type) << c.marker;
    EXPECT_EQ((std::array{record->number(1), record->number(2), record->number(3)}),
              (std::array{kProduct, 6u, 5u}));
    const std::int64_t time = std::stoll(record->numbers[5]);
    EXPECT_TRUE(time >= before && time <= wall_clock_millis()) << time;
    EXPECT_EQ(record->number(6), static_cast<std::uint32_t>(getpid()));
    EXPECT_EQ(record->number(7), static_cast<std::uint32_t>(gettid()));
  }
  // A format the catalog library refuses: its mapped code, nothing logged.
  EXPECT_EQ(xoltLogAppMsgEx(x, 0, 1, "refused", 99, "%{utf8}", nullptr), 3u);
  EXPECT_TRUE(records("refused").empty());
}

// Each refused call leaves the files without a "bad" record. A handle
// never opened (zeroed storage) reads as a context without its record; a
// closed one has no file.
TEST_P(EntryPoints, BadInputGetsItsDocumentedCode) {
  XoltLogHandle* const x = &h_.handle;
  ASSERT_EQ(xoltLogSetDebugLevel(x, 9) | xoltLogSetDiagLevel(x, 9), 0u);
  XoltLogHandle zeroed{};
  OpenHandle closed;
  ASSERT_EQ(xoltLogOpen(kProduct, 6, &closed.handle), 0u);
  ASSERT_EQ(xoltLogClose(&closed.handle), 0u);
  XoltLogHandle* const gone = &closed.handle;
  rir_test::OwnedMsg rir;
  XoltRirMsg* const r = rir.get();
  struct Case {
    const char* what;
    std::uint32_t got, expected;
  };
  for (const Case c : {
           Case{"null handle", xoltLogAppMsg(nullptr, 0, 1, 0, "bad"), 3},
           Case{"null handle", xoltLogDiagMsg(nullptr, 0, 1, "w", 0, "bad"), 3},
           Case{"null handle", xoltLogDebugMsg(nullptr, 0, 1, "w", "bad"), 3},
           Case{"null handle", xoltLogAuditMsg(nullptr, 0, "s", 0, 5, "bad"), 3},
           Case{"null handle", xoltLogSecureAuditMsg(nullptr, 0, "s", 0, 5, "bad"), 3},
           Case{"null handle", xoltLogAppMsg2L(nullptr, 0, 0, 1, "bad", r), 3},
           Case{"null handle", xoltLogMsg(nullptr, 0, nullptr), 3},
           Case{"null format", xoltLogAppMsg(x, 0, 1, 0, nullptr), 3},
           Case{"null format", xoltLogDiagMsg(x, 0, 1, "w", 0, nullptr), 3},
           Case{"null format", xoltLogDebugMsg(x, 0, 1, "w", nullptr), 3},
           Case{"null format", xoltLogAuditMsg(x, 0, "s", 0, 5, nullptr), 3},
           Case{"null who", xoltLogAppMsgEx(x, 0, 1, nullptr, 0, "bad"), 3},
           Case{"null who", xoltLogDiagMsg(x, 0, 1, nullptr, 0, "bad"), 3},
           Case{"null who", xoltLogDebugMsg(x, 0, 1, nullptr, "bad"), 3},
           Case{"null who", xoltLogDiagMsg2L(x, 0, 0, 1, nullptr, "bad", r), 3},
           Case{"null text, flag 8", xoltLogAppMsg2L(x, 0, 8, 1, nullptr, r), 3},
           Case{"null text, flag 8", xoltLogDiagMsg2L(x, 0, 8, 1, "w", nullptr, r), 3},
           Case{"null Rir message", xoltLogAppMsg2L(x, 0, 0, 1, "bad", nullptr), 3},
           Case{"null Rir message", xoltLogAuditMsg2L(x, 0, 0, "s", 0, nullptr), 3},
           Case{"null Rir message", xoltLogSecureAuditMsgL(x, 0, "s", 0, nullptr), 3},
           Case{"null record", xoltLogMsg(x, 0, nullptr), 3},
           Case{"audit id 0", xoltLogAuditMsg(x, 0, "s", 0, 0, "bad"), 3},
           Case{"secure audit id 0", xoltLogSecureAuditMsg(x, 0, "s", 0, 0, "bad"), 3},
           Case{"secure audit, file", xoltLogSecureAuditMsg(x, 0, "s", 0, 5, "bad"), 58},
           Case{"debug level 0", xoltLogDebugMsg(x, 0, 0, "w", "bad"), 1},
           Case{"debug level 7", xoltLogDebugMsg(x, 0, 7, "w", "bad"), 1},
           Case{"diag level -1", xoltLogDiagMsg(x, 0, -1, "w", 0, "bad"), 1},
           Case{"diag level 7", xoltLogDiagMsg(x, 0, 7, "w", 0, "bad"), 1},
           Case{"formatted level 0", xoltLogFormattedDebugMsg(x, 0, 0, "w", "bad"), 1},
           Case{"severity 5", xoltLogAppMsg(x, 0, 5, 0, "bad"), 1},
           Case{"never opened", xoltLogAppMsg(&zeroed, 0, 1, 0, "bad"), 3},
           Case{"never opened", xoltLogDebugMsg(&zeroed, 0, 0, "w", "bad"), 3},
           Case{"never opened, filtered", xoltLogDiagMsg(&zeroed, 0, 1, "w", 0, "bad"), 0},
           Case{"never opened", xoltLogAuditMsg(&zeroed, 0, "s", 0, 5, "bad"), 3},
           Case{"never opened", xoltLogSecureAuditMsg(&zeroed, 0, "s", 0, 5, "bad"), 3},
           Case{"never opened", xoltLogClose(&zeroed), 3},
           Case{"closed", xoltLogAppMsg(gone, 0, 1, 0, "bad"), 57},
           Case{"closed", xoltLogAuditMsg(gone, 0, "s", 0, 5, "bad"), 57},
           Case{"closed twice", xoltLogClose(gone), 3},
       }) {
    EXPECT_EQ(c.got, c.expected) << c.what;
  }
  EXPECT_TRUE(records("bad").empty());
}

// A prepared message stays the caller's when its arguments are refused,
// and is the call's once they are accepted, except a secure audit one
// whose record cannot be set up.
TEST_P(EntryPoints, PreparedMessageOwnershipOnRefusal) {
  XoltLogHandle zeroed{};
  using Log = std::function<std::uint32_t(XoltRirMsg*)>;
  struct Case {
    const char* what;
    Log log;
    bool released;
  };
  for (const Case& c : {
           Case{"null who",
                [&](XoltRirMsg* r) {
                  return xoltLogAppMsg2LEx(&h_.handle, 0, 0, 1, nullptr, "t", r);
                },
                false},
           Case{"app", [&](XoltRirMsg* r) { return xoltLogAppMsg2L(&zeroed, 0, 0, 1, "t", r); },
                true},
           Case{"audit", [&](XoltRirMsg* r) { return xoltLogAuditMsg2L(&zeroed, 0, 0, "s", 0, r); },
                true},
           Case{"secure",
                [&](XoltRirMsg* r) { return xoltLogSecureAuditMsgL(&zeroed, 0, "s", 0, r); },
                false},
       }) {
    rir_test::OwnedMsg rir;
    ASSERT_EQ(rir_test::build_ex(rir.get(), 0, 5, "%s", "owned"), 0);
    EXPECT_EQ(c.log(rir.get()), 3u) << c.what;
    EXPECT_EQ(rir.zeroed(), c.released) << c.what;
  }
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
  EXPECT_EQ(xoltLogSecureAuditMsg(&secure, 1, nullptr, 1, 12, "%s", "unnamed"), 0u);
  const std::optional<std::string> unnamed = listener.receive();
  ASSERT_TRUE(unnamed);
  EXPECT_NE(unnamed->find(",,1 "), std::string::npos) << *unnamed;  // no subject, outcome 1
  EXPECT_TRUE(records("reported").empty());
  listener.stop();
  EXPECT_EQ(xoltLogSecureAuditMsg(&secure, 2, "subj", 0, 12, "%s", "unheard"),
            XOLTLOG_E_OSLOG_REFUSED);
  // An application message on the handle without a file still reaches the
  // outputs, but the missing file is what the caller hears.
  EXPECT_EQ(xoltLogAppMsg(&secure, 0, 0, 0, "nowhere"), 57u);
  EXPECT_EQ(xoltLogClose(&secure), 3u);
  EXPECT_EQ(xoltLogClose(&secure), 3u);
}

// What call printed on standard output and standard error.
template <typename Call>
std::pair<std::string, std::string> printed(Call call) {
  std::fflush(nullptr);
  std::FILE* files[] = {std::tmpfile(), std::tmpfile()};
  int saved[2];
  for (int fd : {1, 2}) {
    saved[fd - 1] = dup(fd);
    dup2(fileno(files[fd - 1]), fd);
  }
  call();
  std::fflush(nullptr);
  std::string text[2];
  for (int fd : {1, 2}) {
    dup2(saved[fd - 1], fd);
    close(saved[fd - 1]);
    std::rewind(files[fd - 1]);
    for (int c; (c = std::fgetc(files[fd - 1])) != EOF;)
      text[fd - 1].push_back(static_cast<char>(c));
    std::fclose(files[fd - 1]);
  }
  return {text[0], text[1]};
}

// The call's flags and the configuration's add up; audit messages never
// reach the console, debug messages never standard error.
TEST_P(EntryPoints, ConsoleCopiesFollowTheFlagsAndTheKind) {
  write_section(6, SectionValues{.flags = XOLTLOG_OUT_STDOUT | XOLTLOG_OUT_STDERR});
  OpenHandle configured;
  ASSERT_EQ(xoltLogOpen(kProduct, 6, &configured.handle), 0u);
  XoltLogHandle* const x = &h_.handle;
  ASSERT_EQ(xoltLogSetDebugLevel(x, 6) | xoltLogSetDiagLevel(x, 6), 0u);
  using Log = std::function<std::uint32_t(const char*)>;
  struct Case {
    Log log;
    bool out, err;
  };
  const Case cases[] = {
      {[&](const char* m) { return xoltLogAppMsgEx(x, 1, 1, "w", 0, "%s", m); }, true, false},
      {[&](const char* m) { return xoltLogAppMsgEx(x, 2, 1, "w", 0, "%s", m); }, false, true},
      {[&](const char* m) { return xoltLogAppMsgEx(x, 0, 1, "w", 0, "%s", m); }, false, false},
      {[&](const char* m) { return xoltLogDiagMsg(x, 3, 2, "w", 0, "%s", m); }, true, true},
      {[&](const char* m) { return xoltLogDebugMsg(x, 3, 2, "w", "%s", m); }, true, false},
      {[&](const char* m) { return xoltLogAuditMsg(x, 3, "w", 0, 8, "%s", m); }, false, false},
      {[&](const char* m) { return xoltLogAppMsgEx(&configured.handle, 0, 1, "w", 0, "%s", m); },
       true, true},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string marker = "console-" + std::to_string(++n);
    std::uint32_t result = 1;
    const auto [out, err] = printed([&] { result = c.log(marker.c_str()); });
    EXPECT_EQ(result, 0u) << marker;
    EXPECT_EQ(out.empty(), !c.out) << marker << ": " << out;
    EXPECT_EQ(err.empty(), !c.err) << marker << ": " << err;
    for (const std::string& line : {out, err}) {
      if (line.empty()) continue;
      EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
      EXPECT_TRUE(line.ends_with(" w " + marker + "\n")) << line;
    }
    EXPECT_EQ(records(marker).size(), 1u) << marker;
  }
}

// Application messages reach the event log when the configuration asked
// for it (the connection is made at open); a call's flag 4 alone has no
// connection to use, and other kinds are not reported.
TEST_P(EntryPoints, EventLogCopiesOfApplicationMessages) {
  SyslogListener listener;
  const SyslogSocketVariable socket(listener.path());
  write_section(6, SectionValues{.flags = XOLTLOG_OUT_OSLOG});
  OpenHandle reporting;
  XoltLogHandle* const x = &reporting.handle;
  ASSERT_EQ(xoltLogOpen(kProduct, 6, x), 0u);
  ASSERT_EQ(xoltLogSetDiagLevel(x, 6), 0u);
  EXPECT_EQ(xoltLogAppMsg(x, 0, 2, 0, "%s", "ev-printf"), 0u);
  EXPECT_EQ(xoltLogAppMsg(x, 0, 1, 321, "%s", "ev-catalog"), 0u);
  EXPECT_EQ(xoltLogDiagMsg(x, 4, 1, "w", 0, "%s", "ev-diag"), 0u);
  EXPECT_EQ(xoltLogAppMsg(&h_.handle, 4, 2, 0, "%s", "ev-unconnected"), 0u);
  EXPECT_EQ(xoltLogAppMsg(x, 0, 0, 0, "%s", "ev-last"), 0u);
  for (const char* expected :
       {"[event=0 category=0 type=1] ev-printf", "[event=321 category=0 type=2] ev-catalog",
        "[event=0 category=0 type=4] ev-last"}) {
    const std::optional<std::string> datagram = listener.receive();
    ASSERT_TRUE(datagram) << expected;
    EXPECT_NE(datagram->find(expected), std::string::npos) << *datagram;
  }
  for (const char* marker : {"ev-printf", "ev-catalog", "ev-diag", "ev-unconnected", "ev-last"}) {
    EXPECT_EQ(records(marker).size(), 1u) << marker;
  }
}

}  // namespace
}  // namespace xoltlog::test
