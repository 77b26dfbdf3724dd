// Reading a record line back when memory runs out at any allocation: the
// result is 4, the record is zeroed and, as the leak checker confirms,
// nothing the reading allocated stays behind.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "message/record_lines.h"
#include "support/allocation_faults.h"
#include "support/rir_messages.h"

namespace {

TEST(RecordParseFaults, EveryAllocationFailureGivesFourAndLeavesNothing) {
  rir_test::OwnedMsg inner, catalog;
  ASSERT_EQ(rir_test::build_ex(inner.get(), 0, 2, "%s%ls", "in", L"ner"), XOLT_RIR_OK);
  ASSERT_EQ(rir_test::build_ex(catalog.get(), 1, 3, "%lc%d%f%ls%{oserr}%{time}%{rir}%s%lc",
                               static_cast<wint_t>(0xE9), -4, 0.5, L"w\u00e9", 2, int64_t{9},
                               inner.get(), "x", static_cast<wint_t>(0)),
            XOLT_RIR_OK);
  for (const uint32_t type : {XOLTLOG_MSG_CONTEXT, XOLTLOG_MSG_AUDIT}) {
    XoltLogMsg msg = record_test::header_record(type, 1, 2);
    msg.context_token = msg.text = msg.who_or_subject = record_test::borrowed("token");
    msg.attr.context_attr = type == XOLTLOG_MSG_CONTEXT ? record_test::borrowed("title") : nullptr;
    msg.rir = *catalog;
    const std::string line = record_test::line_of(msg);
    const int runs = xoltlog::test::for_each_allocation_fault(
        [](long) { return XoltLogMsg{}; },
        [&](XoltLogMsg& read) {
          XoltLogParseError error{};
          const uint32_t result =
              xoltLogMsgParse(line.data(), line.size(), XOLTLOG_RECORD_VERSION, &read, &error);
          EXPECT_EQ(error.reason, nullptr);
          return result;
        },
        [&](long allowed, XoltLogMsg& read, uint32_t result) {
          const XoltLogMsg zero{};
          if (result == XOLTLOG_OK) {
            EXPECT_EQ(record_test::line_of(read), line);
          } else {
            EXPECT_EQ(result, XOLTLOG_E_NO_MEMORY) << allowed;
            EXPECT_EQ(std::memcmp(&read, &zero, sizeof read), 0) << allowed;
          }
          xoltLogFreeMsg(&read);
        });
    EXPECT_GT(runs, 20);
  }
}

}  // namespace
