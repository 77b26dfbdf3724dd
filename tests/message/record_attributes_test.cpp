#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <type_traits>

#include "message/record_lines.h"
#include "xoltlog/message.h"

namespace {

XoltLogMsg record_of_type(uint32_t type) {
  XoltLogMsg msg{};
  msg.type = type;
  return msg;
}

TEST(RecordSetters, NullArgumentsAreRefused) {
  XoltLogMsg msg{};
  EXPECT_EQ(xoltLogSetAppAttr(nullptr, 1), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogSetAuditAttr(nullptr, "s", 1), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogSetContextAttr(&msg, nullptr), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogSetDebugAttr(&msg, nullptr, 1), XOLTLOG_E_INVALID_ARG);
}

TEST(RecordSetters, LevelsOutsideOneToSixAreStoredButReported) {
  using Setter = uint32_t (*)(XoltLogMsg*, const char*, int32_t);
  for (Setter set : {&xoltLogSetDiagAttr, &xoltLogSetDebugAttr}) {
    for (int32_t level : {0, 1, 6, 7}) {
      XoltLogMsg msg = record_of_type(XOLTLOG_MSG_DIAG);
      EXPECT_EQ(set(&msg, "who", level), level >= 1 && level <= 6 ? XOLTLOG_OK : XOLTLOG_E_FAILED)
          << level;
      int32_t stored = 0;
      ASSERT_EQ(xoltLogGetMsgDiagLevel(&msg, &stored), XOLTLOG_OK);
      EXPECT_EQ(stored, level);
      EXPECT_STREQ(msg.who_or_subject, "who");
    }
  }
}

// The other setters fill their fields whatever the record type.
TEST(RecordSetters, SettersFillTheirFieldsOfAnyRecord) {
  XoltLogMsg msg = record_of_type(XOLTLOG_MSG_DEBUG);
  EXPECT_EQ(xoltLogSetAuditAttr(&msg, "subject", 9), XOLTLOG_OK);
  EXPECT_EQ(msg.outcome, 9u);
  EXPECT_STREQ(msg.who_or_subject, "subject");
  EXPECT_EQ(xoltLogSetSecureAuditAttr(&msg, 4, "s2", 1), XOLTLOG_OK);
  EXPECT_EQ(std::tuple(msg.attr.severity, msg.outcome), std::tuple(4u, 1u));
  EXPECT_STREQ(msg.who_or_subject, "s2");
  EXPECT_EQ(xoltLogSetAppAttrEx(&msg, "svc", 3), XOLTLOG_OK);
  EXPECT_EQ(xoltLogSetAppAttr(&msg, 2), XOLTLOG_OK);
  EXPECT_EQ(msg.attr.severity, 2u);
  EXPECT_STREQ(msg.who_or_subject, "svc");
}

// What a getter answers on msg: the value it handed out, or "refused" when it
// refused and left the caller's variable alone (every field read is nonzero).
template <typename T>
std::function<std::string(const XoltLogMsg*)> reader(uint32_t (*get)(const XoltLogMsg*, T*)) {
  return [get](const XoltLogMsg* msg) -> std::string {
    T value{};
    if (get(msg, &value) != XOLTLOG_OK) {
      return value == T{} ? "refused" : "refused but written";
    }
    if constexpr (std::is_pointer_v<T>) {
      return value;
    } else {
      return std::to_string(value);
    }
  };
}

// Every getter on every message type (7 is none): it answers only for the
// types it names, with the value of its own field.
TEST(RecordGetters, ServeOnlyTheirTypesFromTheirFields) {
  constexpr uint32_t kAll = 0xFF;
  const struct {
    const char* name;
    std::function<std::string(const XoltLogMsg*)> read;
    uint32_t types;  // bit per message type
    const char* value;
  } getters[] = {
      {"ProductId", reader(xoltLogGetMsgProductId), kAll, "5"},
      {"OriginatorId", reader(xoltLogGetMsgOriginatorId), kAll, "7"},
      {"Fid", reader(xoltLogGetMsgFid), kAll, "112"},
      {"Pid", reader(xoltLogGetMsgPid), kAll, "4321"},
      {"Tid", reader(xoltLogGetMsgTid), kAll, "8765"},
      {"Timestamp", reader(xoltLogGetMsgTimestamp), kAll, "-1"},
      {"Text", reader(xoltLogGetMsgText), kAll, "text"},
      {"ContextToken", reader(xoltLogGetMsgContextToken), kAll, "token"},
      {"DebugLevel", reader(xoltLogGetMsgDebugLevel), 1u << 0, "2"},
      {"DebugAttrLevel", reader(xoltLogGetMsgDebugAttrLevel), 1u << 0, "2"},
      {"DebugAttrWho", reader(xoltLogGetMsgDebugAttrWho), 1u << 0, "who"},
      {"DiagLevel", reader(xoltLogGetMsgDiagLevel), 1u << 1, "2"},
      {"DiagAttrLevel", reader(xoltLogGetMsgDiagAttrLevel), 1u << 1, "2"},
      {"DiagAttrWho", reader(xoltLogGetMsgDiagAttrWho), 1u << 1, "who"},
      {"AppAttrSeverity", reader(xoltLogGetMsgAppAttrSeverity), 1u << 2, "2"},
      {"AppAttrWho", reader(xoltLogGetMsgAppAttrWho), 1u << 2, "who"},
      {"ContextAttrToken", reader(xoltLogGetMsgContextAttrToken), 1u << 3, "title"},
      {"AuditAttrSubject", reader(xoltLogGetMsgAuditAttrSubject), 3u << 4, "who"},
      {"AuditAttrOutcome", reader(xoltLogGetMsgAuditAttrOutcome), 3u << 4, "3"},
      {"AuditLevel", reader(xoltLogGetMsgAuditLevel), 1u << 5, "2"},
  };
  char text[] = "text", token[] = "token", who[] = "who", title[] = "title";
  XoltLogMsg msg{};
  for (uint32_t type = 0; type <= 7; ++type) {
    msg = record_test::header_record(type, 1, -1);
    msg.file_originator = 112;
    msg.text = text;
    msg.context_token = token;
    msg.who_or_subject = who;
    msg.outcome = 3;
    msg.attr.raw = 2;
    if (type == XOLTLOG_MSG_CONTEXT) {
      msg.attr.context_attr = title;
    }
    for (const auto& getter : getters) {
      const bool served = (getter.types >> type & 1) != 0;
      EXPECT_EQ(getter.read(&msg), served ? getter.value : "refused")
          << getter.name << " on type " << type;
    }
    EXPECT_EQ(reader(xoltLogGetMsgType)(&msg), std::to_string(type));
  }
  for (const auto& getter : getters) {
    EXPECT_EQ(getter.read(nullptr), "refused") << getter.name;
  }
  EXPECT_EQ(xoltLogGetMsgPid(&msg, nullptr), XOLTLOG_E_INVALID_ARG);
  XoltRirMsg* rir = nullptr;
  EXPECT_EQ(xoltLogGetMsgRir(nullptr, &rir), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogGetMsgRir(&msg, nullptr), XOLTLOG_E_INVALID_ARG);
}

}  // namespace
