#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "xoltlog/message.h"

namespace {

XoltLogMsg record_of_type(uint32_t type) {
  XoltLogMsg msg{};
  msg.type = type;
  return msg;
}

TEST(RecordSetters, NullRecordIsRefusedEverywhere) {
  EXPECT_EQ(xoltLogSetAppAttr(nullptr, 1), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogSetAppAttrEx(nullptr, "w", 1), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogSetAuditAttr(nullptr, "s", 1), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogSetContextAttr(nullptr, "c"), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogSetDiagAttr(nullptr, "w", 1), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogSetDebugAttr(nullptr, "w", 1), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogSetSecureAuditAttr(nullptr, 1, "s", 0), XOLTLOG_E_INVALID_ARG);
  XoltLogMsg msg{};
  EXPECT_EQ(xoltLogSetContextAttr(&msg, nullptr), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogSetDiagAttr(&msg, nullptr, 1), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogSetDebugAttr(&msg, nullptr, 1), XOLTLOG_E_INVALID_ARG);
}

TEST(RecordSetters, LevelsOutsideOneToSixAreStoredButReported) {
  using Setter = uint32_t (*)(XoltLogMsg*, const char*, int32_t);
  for (Setter set : {&xoltLogSetDiagAttr, &xoltLogSetDebugAttr}) {
    for (int32_t level : {0, 1, 6, 7}) {
      XoltLogMsg msg = record_of_type(XOLTLOG_MSG_DIAG);
      const uint32_t expected = level >= 1 && level <= 6 ? XOLTLOG_OK : XOLTLOG_E_FAILED;
      EXPECT_EQ(set(&msg, "who", level), expected) << level;
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
  EXPECT_EQ(msg.attr.severity, 4u);
  EXPECT_EQ(msg.outcome, 1u);
  EXPECT_STREQ(msg.who_or_subject, "s2");
  EXPECT_EQ(xoltLogSetAppAttrEx(&msg, "svc", 3), XOLTLOG_OK);
  EXPECT_EQ(xoltLogSetAppAttr(&msg, 2), XOLTLOG_OK);
  EXPECT_EQ(msg.attr.severity, 2u);
  EXPECT_STREQ(msg.who_or_subject, "svc");
}

TEST(RecordGetters, CommonFieldsOfAnyType) {
  XoltLogMsg msg = record_of_type(77);
  msg.product_id = 5;
  msg.originator_id = 7;
  msg.file_originator = 112;
  msg.process_id = 4321;
  msg.thread_id = 8765;
  msg.timestamp_ms = -1;
  char text[] = "t";
  char token[] = "k";
  msg.text = text;
  msg.context_token = token;
  using NumberGetter = uint32_t (*)(const XoltLogMsg*, uint32_t*);
  const std::pair<NumberGetter, uint32_t> numbers[] = {
      {xoltLogGetMsgType, 77}, {xoltLogGetMsgProductId, 5}, {xoltLogGetMsgOriginatorId, 7},
      {xoltLogGetMsgFid, 112}, {xoltLogGetMsgPid, 4321},    {xoltLogGetMsgTid, 8765}};
  for (const auto& [get, expected] : numbers) {
    uint32_t value = 0;
    EXPECT_EQ(get(&msg, &value), XOLTLOG_OK);
    EXPECT_EQ(value, expected);
    EXPECT_EQ(get(nullptr, &value), XOLTLOG_E_INVALID_ARG);
    EXPECT_EQ(get(&msg, nullptr), XOLTLOG_E_INVALID_ARG);
  }
  int64_t stamp = 0;
  EXPECT_EQ(xoltLogGetMsgTimestamp(&msg, &stamp), XOLTLOG_OK);
  EXPECT_EQ(stamp, -1);
  const char* string = nullptr;
  EXPECT_EQ(xoltLogGetMsgText(&msg, &string), XOLTLOG_OK);
  EXPECT_EQ(string, text);
  EXPECT_EQ(xoltLogGetMsgContextToken(&msg, &string), XOLTLOG_OK);
  EXPECT_EQ(string, token);
  XoltRirMsg* rir = nullptr;
  EXPECT_EQ(xoltLogGetMsgRir(nullptr, &rir), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogGetMsgRir(&msg, nullptr), XOLTLOG_E_INVALID_ARG);
}

constexpr uint64_t kUntouched = 0x5A5A;
char who[] = "who";

// Each typed getter, on every message type: it answers only for the types
// it names, with the value of its own field, and otherwise leaves the
// caller's variable alone.
TEST(RecordGetters, TypedGettersServeOnlyTheirTypesFromTheirFields) {
  struct Getter {
    const char* name;
    uint32_t served_types;  // bit per message type
    uint64_t value;         // level or severity 2, outcome 3, the who string 1
    uint32_t (*read)(const XoltLogMsg*, uint64_t*);
  };
  static const Getter kGetters[] = {
#define NUMBER_GETTER(fn, mask, T, value)                     \
  {#fn, mask, value, [](const XoltLogMsg* m, uint64_t* out) { \
     T v = static_cast<T>(kUntouched);                        \
     const uint32_t r = fn(m, &v);                            \
     *out = static_cast<uint64_t>(v);                         \
     return r;                                                \
   }},
#define STRING_GETTER(fn, mask)                                            \
  {#fn, mask, 1, [](const XoltLogMsg* m, uint64_t* out) {                  \
     const char* v = "untouched";                                          \
     const uint32_t r = fn(m, &v);                                         \
     *out = v == who ? 1 : std::string(v) == "untouched" ? kUntouched : 0; \
     return r;                                                             \
   }},
      NUMBER_GETTER(xoltLogGetMsgDebugLevel, 1u << 0, int32_t, 2)
      NUMBER_GETTER(xoltLogGetMsgDebugAttrLevel, 1u << 0, int32_t, 2)
      STRING_GETTER(xoltLogGetMsgDebugAttrWho, 1u << 0)
      NUMBER_GETTER(xoltLogGetMsgDiagLevel, 1u << 1, int32_t, 2)
      NUMBER_GETTER(xoltLogGetMsgDiagAttrLevel, 1u << 1, int32_t, 2)
      STRING_GETTER(xoltLogGetMsgDiagAttrWho, 1u << 1)
      NUMBER_GETTER(xoltLogGetMsgAppAttrSeverity, 1u << 2, uint32_t, 2)
      STRING_GETTER(xoltLogGetMsgAppAttrWho, 1u << 2)
      STRING_GETTER(xoltLogGetMsgContextAttrToken, 1u << 3)
      STRING_GETTER(xoltLogGetMsgAuditAttrSubject, (1u << 4) | (1u << 5))
      NUMBER_GETTER(xoltLogGetMsgAuditAttrOutcome, (1u << 4) | (1u << 5), uint32_t, 3)
      NUMBER_GETTER(xoltLogGetMsgAuditLevel, 1u << 5, uint32_t, 2)
#undef NUMBER_GETTER
#undef STRING_GETTER
  };
  for (const Getter& getter : kGetters) {
    for (uint32_t type = 0; type <= 6; ++type) {
      XoltLogMsg msg = record_of_type(type);
      msg.who_or_subject = who;
      msg.outcome = 3;
      msg.attr.raw = type == XOLTLOG_MSG_CONTEXT ? reinterpret_cast<uint64_t>(who) : 2;
      uint64_t seen = 0;
      const bool served = (getter.served_types & (1u << type)) != 0;
      EXPECT_EQ(getter.read(&msg, &seen), served ? XOLTLOG_OK : XOLTLOG_E_INVALID_ARG)
          << getter.name << " on type " << type;
      EXPECT_EQ(seen, served ? getter.value : kUntouched) << getter.name << " on type " << type;
    }
  }
}

}  // namespace
