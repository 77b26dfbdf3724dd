#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>

#include "support/fake_clock.h"
#include "support/rir_messages.h"
#include "writer/file_writer.h"
#include "xoltlog/frame.h"
#include "xoltlog/handle.h"
#include "xoltlog/message.h"

namespace {

// A zeroed handle is a context (marker 0); an opened handle has marker 1.
XoltLogHandle opened_handle() {
  XoltLogHandle handle{};
  handle.context_marker = 1;
  handle.sequence_counter = 1;
  return handle;
}

bool all_zero(const void* bytes, size_t size) {
  const auto* p = static_cast<const unsigned char*>(bytes);
  for (size_t i = 0; i < size; ++i) {
    if (p[i] != 0) {
      return false;
    }
  }
  return true;
}

TEST(RecordInit, NullRecordOrHandleIsRefused) {
  XoltLogHandle handle = opened_handle();
  XoltLogMsg msg;
  std::memset(&msg, 0x5A, sizeof msg);
  EXPECT_EQ(xoltLogInitMsg(nullptr, &handle, XOLTLOG_MSG_APP, "x"), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogInitMsg(&msg, nullptr, XOLTLOG_MSG_APP, "x"), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(handle.sequence_counter, 1u);
}

TEST(RecordInit, FillsHeaderFieldsForAHandleWithoutWriter) {
  xoltlog::test::FakeClock clock(1684318830, 123'456'789);
  XoltLogHandle handle = opened_handle();
  handle.originator_id = 7;
  XoltLogMsg msg;
  std::memset(&msg, 0x5A, sizeof msg);
  ASSERT_EQ(xoltLogInitMsg(&msg, &handle, XOLTLOG_MSG_DIAG, "Disk full"), XOLTLOG_OK);
  EXPECT_EQ(msg.type, XOLTLOG_MSG_DIAG);
  EXPECT_EQ(msg.sequence, 1u);
  EXPECT_EQ(msg.timestamp_ms, 1684318830123);
  EXPECT_EQ(msg.process_id, static_cast<uint32_t>(getpid()));
  EXPECT_EQ(msg.thread_id, static_cast<uint32_t>(gettid()));
  EXPECT_EQ(msg.product_id, 0u);
  EXPECT_EQ(msg.originator_id, 0u);
  EXPECT_EQ(msg.context_token, nullptr);
  EXPECT_EQ(msg.owns_strings, 0u);
  EXPECT_EQ(msg.record_version, 0u);
  EXPECT_TRUE(all_zero(msg.reserved, sizeof msg.reserved));
  EXPECT_EQ(msg.rir.args, nullptr);
  ASSERT_NE(msg.text, nullptr);
  EXPECT_STREQ(msg.text, "Disk full");
  EXPECT_EQ(xoltLogFreeMsg(&msg), XOLTLOG_OK);
}

TEST(RecordInit, TakesProductFromWriterAndOriginatorFromHandle) {
  XoltLogFileWriter writer{};
  writer.product_id_ = 5;
  writer.originator_id_ = 112;
  XoltLogHandle handle = opened_handle();
  handle.file_writer = &writer;
  handle.originator_id = 7;
  XoltLogMsg msg;
  ASSERT_EQ(xoltLogInitMsg(&msg, &handle, XOLTLOG_MSG_APP, nullptr), XOLTLOG_OK);
  EXPECT_EQ(msg.product_id, 5u);
  EXPECT_EQ(msg.originator_id, 7u);
  EXPECT_EQ(msg.text, nullptr);
  xoltLogFreeMsg(&msg);
}

TEST(RecordInit, ConsecutiveRecordsTakeConsecutiveNumbers) {
  XoltLogHandle handle = opened_handle();
  handle.sequence_counter = UINT32_MAX;
  XoltLogMsg first;
  XoltLogMsg second;
  XoltLogMsg third;
  ASSERT_EQ(xoltLogInitMsg(&first, &handle, 99, "a"), XOLTLOG_OK);
  ASSERT_EQ(xoltLogInitMsg(&second, &handle, XOLTLOG_MSG_APP, "b"), XOLTLOG_OK);
  ASSERT_EQ(xoltLogInitMsg(&third, &handle, XOLTLOG_MSG_APP, "c"), XOLTLOG_OK);
  EXPECT_EQ(first.type, 99u);
  EXPECT_EQ(first.sequence, UINT32_MAX);
  EXPECT_EQ(second.sequence, 0u);
  EXPECT_EQ(third.sequence, 1u);
  xoltLogFreeMsg(&first);
  xoltLogFreeMsg(&second);
  xoltLogFreeMsg(&third);
}

TEST(RecordInit, TextIsCopiedNotBorrowed) {
  XoltLogHandle handle = opened_handle();
  char text[] = "original";
  XoltLogMsg msg;
  ASSERT_EQ(xoltLogInitMsg(&msg, &handle, XOLTLOG_MSG_APP, text), XOLTLOG_OK);
  text[0] = 'O';
  EXPECT_STREQ(msg.text, "original");
  xoltLogFreeMsg(&msg);
}

TEST(RecordInit, LiveContextLendsItsTitleAsToken) {
  XoltLogHandle context{};  // context marker 0: live context
  context.context_record.type = XOLTLOG_MSG_CONTEXT;
  ASSERT_EQ(xoltLogSetContextAttr(&context.context_record, "batch 42"), XOLTLOG_OK);
  XoltLogMsg msg;
  ASSERT_EQ(xoltLogInitMsg(&msg, &context, XOLTLOG_MSG_APP, "inside"), XOLTLOG_OK);
  EXPECT_EQ(msg.context_token, context.context_record.attr.context_attr);
  xoltLogFreeMsg(&msg);  // borrowed: the context keeps its title
  EXPECT_STREQ(context.context_record.attr.context_attr, "batch 42");
  xoltLogFreeMsg(&context.context_record);
}

TEST(RecordInit, ContextMarkerWithoutContextRecordFails) {
  XoltLogHandle zeroed{};
  XoltLogMsg msg;
  EXPECT_EQ(xoltLogInitMsg(&msg, &zeroed, XOLTLOG_MSG_APP, "text"), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(msg.text, nullptr);  // stopped before the text was copied
  EXPECT_EQ(zeroed.sequence_counter, 1u);
  xoltLogFreeMsg(&msg);
}

TEST(RecordFree, NullRecordIsFine) { EXPECT_EQ(xoltLogFreeMsg(nullptr), XOLTLOG_OK); }

// Borrowed strings are heap blocks here so that a wrong release would be a
// double free or use after free under AddressSanitizer.
TEST(RecordFree, BorrowedStringsStayWithTheirOwners) {
  char* who = xoltLogSafeStrdup("svc");
  char* token = xoltLogSafeStrdup("ctx");
  for (uint32_t type : {0u, 1u, 2u, 4u, 5u}) {
    XoltLogMsg msg{};
    msg.type = type;
    msg.context_token = token;
    ASSERT_EQ(xoltLogSetAppAttrEx(&msg, who, 1), XOLTLOG_OK);
    EXPECT_EQ(xoltLogFreeMsg(&msg), XOLTLOG_OK);
    EXPECT_STREQ(who, "svc");
    EXPECT_STREQ(token, "ctx");
  }
  xoltLogFree(who);
  xoltLogFree(token);
}

TEST(RecordFree, OwnedStringsAreReleasedAndRecordZeroed) {
  for (uint32_t type : {0u, 1u, 2u, 4u}) {
    XoltLogMsg msg{};
    msg.type = type;
    msg.owns_strings = 1;
    msg.context_token = xoltLogSafeStrdup("ctx");
    msg.who_or_subject = xoltLogSafeStrdup("who");
    msg.text = xoltLogSafeStrdup("text");
    EXPECT_EQ(xoltLogFreeMsg(&msg), XOLTLOG_OK);
    EXPECT_TRUE(all_zero(&msg, sizeof msg));
  }
}

TEST(RecordFree, SecureAuditSubjectIsNeverReleased) {
  char* subject = xoltLogSafeStrdup("subject");
  XoltLogMsg msg{};
  msg.type = XOLTLOG_MSG_SECURE_AUDIT;
  msg.owns_strings = 1;
  msg.context_token = xoltLogSafeStrdup("ctx");
  ASSERT_EQ(xoltLogSetSecureAuditAttr(&msg, 3, subject, 0), XOLTLOG_OK);
  EXPECT_EQ(xoltLogFreeMsg(&msg), XOLTLOG_OK);
  EXPECT_STREQ(subject, "subject");
  xoltLogFree(subject);
}

// Leaks here show up under LeakSanitizer: the replaced title, the final
// title and the catalog message must all go back to the heap.
TEST(RecordFree, ContextAttributeAndCatalogMessageAreReleased) {
  XoltLogHandle handle = opened_handle();
  XoltLogMsg msg;
  ASSERT_EQ(xoltLogInitMsg(&msg, &handle, XOLTLOG_MSG_CONTEXT, nullptr), XOLTLOG_OK);
  ASSERT_EQ(xoltLogSetContextAttr(&msg, "first title"), XOLTLOG_OK);
  ASSERT_EQ(xoltLogSetContextAttr(&msg, "second title"), XOLTLOG_OK);
  XoltRirMsg* rir = nullptr;
  ASSERT_EQ(xoltLogGetMsgRir(&msg, &rir), XOLTLOG_OK);
  EXPECT_EQ(rir, &msg.rir);
  ASSERT_EQ(rir_test::build_text(rir, "copied %s and %d", "this", 5), XOLT_RIR_OK);
  ASSERT_NE(msg.rir.args, nullptr);
  EXPECT_EQ(xoltLogFreeMsg(&msg), XOLTLOG_OK);
  EXPECT_TRUE(all_zero(&msg, sizeof msg));
}

}  // namespace
