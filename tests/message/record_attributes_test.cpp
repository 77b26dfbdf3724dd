#include <gtest/gtest.h>

#include <string>

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
    for (int32_t level : {-1, 0, 1, 6, 7, INT32_MAX}) {
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

TEST(RecordSetters, SettersIgnoreTheRecordType) {
  XoltLogMsg msg = record_of_type(XOLTLOG_MSG_DEBUG);
  EXPECT_EQ(xoltLogSetAuditAttr(&msg, "subject", 9), XOLTLOG_OK);
  EXPECT_EQ(msg.outcome, 9u);
  EXPECT_STREQ(msg.who_or_subject, "subject");
  EXPECT_EQ(xoltLogSetSecureAuditAttr(&msg, 4, "s2", 1), XOLTLOG_OK);
  EXPECT_EQ(msg.attr.severity, 4u);
  EXPECT_EQ(msg.outcome, 1u);
}

TEST(RecordSetters, ContextAttributeIsAnOwnedCopy) {
  XoltLogMsg msg = record_of_type(XOLTLOG_MSG_CONTEXT);
  char title[] = "nightly batch";
  ASSERT_EQ(xoltLogSetContextAttr(&msg, title), XOLTLOG_OK);
  title[0] = 'N';
  const char* stored = nullptr;
  ASSERT_EQ(xoltLogGetMsgContextAttrToken(&msg, &stored), XOLTLOG_OK);
  EXPECT_STREQ(stored, "nightly batch");
  EXPECT_NE(stored, title);
  xoltLogFreeMsg(&msg);
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
  uint32_t value = 0;
  EXPECT_EQ(xoltLogGetMsgType(&msg, &value), XOLTLOG_OK);
  EXPECT_EQ(value, 77u);
  EXPECT_EQ(xoltLogGetMsgProductId(&msg, &value), XOLTLOG_OK);
  EXPECT_EQ(value, 5u);
  EXPECT_EQ(xoltLogGetMsgOriginatorId(&msg, &value), XOLTLOG_OK);
  EXPECT_EQ(value, 7u);
  EXPECT_EQ(xoltLogGetMsgFid(&msg, &value), XOLTLOG_OK);
  EXPECT_EQ(value, 112u);
  EXPECT_EQ(xoltLogGetMsgPid(&msg, &value), XOLTLOG_OK);
  EXPECT_EQ(value, 4321u);
  EXPECT_EQ(xoltLogGetMsgTid(&msg, &value), XOLTLOG_OK);
  EXPECT_EQ(value, 8765u);
  int64_t stamp = 0;
  EXPECT_EQ(xoltLogGetMsgTimestamp(&msg, &stamp), XOLTLOG_OK);
  EXPECT_EQ(stamp, -1);
  const char* string = nullptr;
  EXPECT_EQ(xoltLogGetMsgText(&msg, &string), XOLTLOG_OK);
  EXPECT_EQ(string, text);
  EXPECT_EQ(xoltLogGetMsgContextToken(&msg, &string), XOLTLOG_OK);
  EXPECT_EQ(string, token);
  EXPECT_EQ(xoltLogGetMsgType(nullptr, &value), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogGetMsgType(&msg, nullptr), XOLTLOG_E_INVALID_ARG);
  XoltRirMsg* rir = nullptr;
  EXPECT_EQ(xoltLogGetMsgRir(nullptr, &rir), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogGetMsgRir(&msg, nullptr), XOLTLOG_E_INVALID_ARG);
}

// Each typed getter, on every message type: it answers only for the types
// it names and otherwise leaves the caller's variable alone.
TEST(RecordGetters, TypedGettersServeOnlyTheirTypes) {
  struct Getter {
    const char* name;
    uint32_t served_types;  // bit per message type
    uint32_t (*read)(const XoltLogMsg*, uint64_t*);
  };
  static const Getter kGetters[] = {
#define NUMBER_GETTER(fn, mask, T)                                                   \
  {#fn, mask, [](const XoltLogMsg* m, uint64_t* out) {                               \
     T v = static_cast<T>(0x5A5A);                                                   \
     const uint32_t r = fn(m, &v);                                                   \
     *out = static_cast<uint64_t>(v);                                                \
     return r;                                                                       \
   }},
#define STRING_GETTER(fn, mask)                                                      \
  {#fn, mask, [](const XoltLogMsg* m, uint64_t* out) {                               \
     const char* v = "untouched";                                                    \
     const uint32_t r = fn(m, &v);                                                   \
     *out = std::string(v == nullptr ? "(null)" : v) == "untouched" ? 0x5A5A : 1;    \
     return r;                                                                       \
   }},
      NUMBER_GETTER(xoltLogGetMsgDebugLevel, 1u << 0, int32_t)
      NUMBER_GETTER(xoltLogGetMsgDebugAttrLevel, 1u << 0, int32_t)
      STRING_GETTER(xoltLogGetMsgDebugAttrWho, 1u << 0)
      NUMBER_GETTER(xoltLogGetMsgDiagLevel, 1u << 1, int32_t)
      NUMBER_GETTER(xoltLogGetMsgDiagAttrLevel, 1u << 1, int32_t)
      STRING_GETTER(xoltLogGetMsgDiagAttrWho, 1u << 1)
      NUMBER_GETTER(xoltLogGetMsgAppAttrSeverity, 1u << 2, uint32_t)
      STRING_GETTER(xoltLogGetMsgAppAttrWho, 1u << 2)
      STRING_GETTER(xoltLogGetMsgContextAttrToken, 1u << 3)
      STRING_GETTER(xoltLogGetMsgAuditAttrSubject, (1u << 4) | (1u << 5))
      NUMBER_GETTER(xoltLogGetMsgAuditAttrOutcome, (1u << 4) | (1u << 5), uint32_t)
      NUMBER_GETTER(xoltLogGetMsgAuditLevel, 1u << 5, uint32_t)
#undef NUMBER_GETTER
#undef STRING_GETTER
  };
  char who[] = "who";
  for (const Getter& getter : kGetters) {
    for (uint32_t type = 0; type <= 6; ++type) {
      XoltLogMsg msg = record_of_type(type);
      msg.who_or_subject = who;
      msg.outcome = 3;
      msg.attr.raw = type == XOLTLOG_MSG_CONTEXT ? reinterpret_cast<uint64_t>(who) : 2;
      uint64_t seen = 0;
      const bool served = type < 32 && (getter.served_types & (1u << type)) != 0;
      EXPECT_EQ(getter.read(&msg, &seen), served ? XOLTLOG_OK : XOLTLOG_E_INVALID_ARG)
          << getter.name << " on type " << type;
      EXPECT_EQ(seen != 0x5A5A, served) << getter.name << " on type " << type;
    }
  }
}

TEST(RecordGetters, ValuesComeFromTheRightFields) {
  XoltLogMsg msg = record_of_type(XOLTLOG_MSG_SECURE_AUDIT);
  char subject[] = "alice";
  ASSERT_EQ(xoltLogSetSecureAuditAttr(&msg, 4, subject, 1), XOLTLOG_OK);
  uint32_t level = 0;
  uint32_t outcome = 0;
  const char* got = nullptr;
  EXPECT_EQ(xoltLogGetMsgAuditLevel(&msg, &level), XOLTLOG_OK);
  EXPECT_EQ(xoltLogGetMsgAuditAttrOutcome(&msg, &outcome), XOLTLOG_OK);
  EXPECT_EQ(xoltLogGetMsgAuditAttrSubject(&msg, &got), XOLTLOG_OK);
  EXPECT_EQ(level, 4u);
  EXPECT_EQ(outcome, 1u);
  EXPECT_EQ(got, subject);

  XoltLogMsg app = record_of_type(XOLTLOG_MSG_APP);
  ASSERT_EQ(xoltLogSetAppAttrEx(&app, "svc", 3), XOLTLOG_OK);
  ASSERT_EQ(xoltLogSetAppAttr(&app, 2), XOLTLOG_OK);
  uint32_t severity = 0;
  EXPECT_EQ(xoltLogGetMsgAppAttrSeverity(&app, &severity), XOLTLOG_OK);
  EXPECT_EQ(severity, 2u);
  EXPECT_EQ(xoltLogGetMsgAppAttrWho(&app, &got), XOLTLOG_OK);
  EXPECT_STREQ(got, "svc");
}

}  // namespace
