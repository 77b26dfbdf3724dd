#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <tuple>

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
  EXPECT_EQ(xoltLogInitMsg(nullptr, &handle, XOLTLOG_MSG_APP, "x"), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogInitMsg(&msg, nullptr, XOLTLOG_MSG_APP, "x"), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(handle.sequence_counter, 1u);
}

// Product and originator come from the writer and the handle, and only when
// the handle has a writer; every field not filled starts at zero.
TEST(RecordInit, FillsTheHeaderAndCopiesTheText) {
  xoltlog::test::FakeClock clock(1684318830, 123'456'789);
  XoltLogFileWriter writer{};
  writer.product_id_ = 5;
  writer.originator_id_ = 112;
  for (XoltLogFileWriter* file_writer : {static_cast<XoltLogFileWriter*>(nullptr), &writer}) {
    XoltLogHandle handle = opened_handle();
    handle.file_writer = file_writer;
    handle.originator_id = 7;
    char text[] = "Disk full";
    XoltLogMsg msg;
    std::memset(&msg, 0x5A, sizeof msg);
    ASSERT_EQ(xoltLogInitMsg(&msg, &handle, XOLTLOG_MSG_DIAG, text), XOLTLOG_OK);
    text[0] = 'd';
    EXPECT_STREQ(msg.text, "Disk full");
    EXPECT_EQ(
        std::tuple(msg.type, msg.sequence, msg.timestamp_ms, msg.process_id, msg.thread_id,
                   msg.product_id, msg.originator_id),
        std::tuple(XOLTLOG_MSG_DIAG, 1u, 1684318830123, static_cast<uint32_t>(getpid()),
                   static_cast<uint32_t>(gettid()), file_writer ? 5u : 0u, file_writer ? 7u : 0u));
    XoltLogMsg rest;  // everything else is zero
    std::memcpy(&rest, &msg, sizeof rest);
    rest.type = rest.sequence = rest.process_id = rest.thread_id = 0;
    rest.product_id = rest.originator_id = 0;
    rest.timestamp_ms = 0;
    rest.text = nullptr;
    EXPECT_TRUE(all_zero(&rest, sizeof rest));
    EXPECT_EQ(xoltLogFreeMsg(&msg), XOLTLOG_OK);
  }
}

TEST(RecordInit, ConsecutiveRecordsTakeConsecutiveNumbersOfAnyType) {
  XoltLogHandle handle = opened_handle();
  handle.sequence_counter = UINT32_MAX;
  for (const uint32_t expected : {UINT32_MAX, 0u, 1u}) {
    XoltLogMsg msg;
    ASSERT_EQ(xoltLogInitMsg(&msg, &handle, 99, "a"), XOLTLOG_OK);
    EXPECT_EQ(msg.sequence, expected);
    EXPECT_EQ(msg.type, 99u);
    xoltLogFreeMsg(&msg);
  }
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

// Borrowed strings are heap blocks here so that a wrong release would be a
// double free or use after free under AddressSanitizer.
TEST(RecordFree, BorrowedStringsStayWithTheirOwners) {
  char* who = xoltLogSafeStrdup("svc");
  char* token = xoltLogSafeStrdup("ctx");
  for (uint32_t type : {0u, 1u, 2u, 4u, 5u}) {
    XoltLogMsg msg{};
    msg.type = type;
    msg.context_token = token;
    msg.who_or_subject = who;
    EXPECT_EQ(xoltLogFreeMsg(&msg), XOLTLOG_OK);
    EXPECT_STREQ(who, "svc");
    EXPECT_STREQ(token, "ctx");
  }
  xoltLogFree(who);
  xoltLogFree(token);
}

// Leaks show up under LeakSanitizer; a secure audit's subject stays with its
// owner even in a record that owns its strings.
TEST(RecordFree, OwnedStringsAreReleasedExceptTheSecureAuditSubject) {
  EXPECT_EQ(xoltLogFreeMsg(nullptr), XOLTLOG_OK);
  char* subject = xoltLogSafeStrdup("subject");
  for (uint32_t type : {0u, 1u, 2u, 4u, 5u}) {
    XoltLogMsg msg{};
    msg.type = type;
    msg.owns_strings = 1;
    msg.context_token = xoltLogSafeStrdup("ctx");
    msg.who_or_subject = type == XOLTLOG_MSG_SECURE_AUDIT ? subject : xoltLogSafeStrdup("who");
    msg.text = xoltLogSafeStrdup("text");
    EXPECT_EQ(xoltLogFreeMsg(&msg), XOLTLOG_OK);
    EXPECT_TRUE(all_zero(&msg, sizeof msg));
  }
  EXPECT_STREQ(subject, "subject");
  xoltLogFree(subject);
}

// The replaced title, the final title and the catalog message must all go
// back to the heap.
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
  EXPECT_EQ(xoltLogFreeMsg(&msg), XOLTLOG_OK);
  EXPECT_TRUE(all_zero(&msg, sizeof msg));
}

}  // namespace
