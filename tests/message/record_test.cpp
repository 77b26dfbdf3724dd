#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <optional>
#include <tuple>

#include "support/fake_clock.h"
#include "support/rir_messages.h"
#include "frame/library_lock.h"
#include "message/record.h"
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

bool all_zero(const XoltLogMsg& msg) {
  static const XoltLogMsg zero{};
  return std::memcmp(&msg, &zero, sizeof msg) == 0;
}

// A null record or handle is refused before a number is taken; a zeroed
// handle claims to be a live context without a context record, and is
// refused before the text is copied.
TEST(RecordInit, BadArgumentsAreRefused) {
  XoltLogHandle handle = opened_handle();
  XoltLogMsg msg;
  EXPECT_EQ(xoltLogInitMsg(nullptr, &handle, XOLTLOG_MSG_APP, "x"), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogInitMsg(&msg, nullptr, XOLTLOG_MSG_APP, "x"), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(handle.sequence_counter, 1u);
  XoltLogHandle zeroed{};
  EXPECT_EQ(xoltLogInitMsg(&msg, &zeroed, XOLTLOG_MSG_APP, "text"), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(msg.text, nullptr);
  xoltLogFreeMsg(&msg);
}

// Product and originator come from the writer (which the caller asks) and
// the handle, and only when the handle has a writer; every field not filled
// starts at zero. Records of one handle take consecutive numbers. The
// exported operation, which asks the writer, is tested with the writer.
TEST(RecordInit, FillsTheHeaderAndCopiesTheText) {
  xoltlog::test::FakeClock clock(1684318830, 123'456'789);
  XoltLogHandle handle = opened_handle();
  handle.originator_id = 7;
  uint32_t sequence = 1;
  for (const std::optional<uint32_t> file_product : {std::optional<uint32_t>(), {5u}}) {
    char text[] = "Disk full";
    XoltLogMsg msg;
    std::memset(&msg, 0x5A, sizeof msg);
    const xoltlog::LibraryLockGuard held("RecordInit");
    ASSERT_EQ(xoltlog::init_record(held, msg, handle, XOLTLOG_MSG_DIAG, text, file_product),
              XOLTLOG_OK);
    text[0] = 'd';
    EXPECT_STREQ(msg.text, "Disk full");
    EXPECT_EQ(
        std::tuple(msg.type, msg.sequence, msg.timestamp_ms, msg.process_id, msg.thread_id,
                   msg.product_id, msg.originator_id),
        std::tuple(XOLTLOG_MSG_DIAG, sequence++, 1684318830123, static_cast<uint32_t>(getpid()),
                   static_cast<uint32_t>(gettid()), file_product ? 5u : 0u,
                   file_product ? 7u : 0u));
    XoltLogMsg rest;  // everything else is zero, padding included
    std::memcpy(&rest, &msg, sizeof rest);
    rest.type = rest.sequence = rest.process_id = rest.thread_id = 0;
    rest.product_id = rest.originator_id = 0;
    rest.timestamp_ms = 0;
    rest.text = nullptr;
    EXPECT_TRUE(all_zero(rest));
    EXPECT_EQ(xoltLogFreeMsg(&msg), XOLTLOG_OK);
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

// Strings are heap blocks so that a wrong release shows as a double free, a
// use after free or a leak. An owning record releases its token and who, but
// a secure audit's subject stays with its owner.
TEST(RecordFree, ReleasesOwnedStringsOnly) {
  EXPECT_EQ(xoltLogFreeMsg(nullptr), XOLTLOG_OK);
  char* kept = xoltLogSafeStrdup("kept");
  for (uint32_t owns : {0u, 1u}) {
    for (uint32_t type : {0u, 1u, 2u, 4u, 5u}) {
      XoltLogMsg msg{};
      msg.type = type;
      msg.owns_strings = owns;
      msg.context_token = owns ? xoltLogSafeStrdup("token") : kept;
      msg.who_or_subject =
          owns && type != XOLTLOG_MSG_SECURE_AUDIT ? xoltLogSafeStrdup("who") : kept;
      msg.text = xoltLogSafeStrdup("text");
      EXPECT_EQ(xoltLogFreeMsg(&msg), XOLTLOG_OK);
      EXPECT_TRUE(all_zero(msg));
      EXPECT_STREQ(kept, "kept") << owns << " " << type;
    }
  }
  xoltLogFree(kept);
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
  EXPECT_TRUE(all_zero(msg));
}

}  // namespace
