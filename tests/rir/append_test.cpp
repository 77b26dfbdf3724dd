// xoltRirAppendArg and xoltRirAppendMsg: messages built argument by
// argument own copies of everything, equal to what the format builder makes,
// and a refused or failed append leaves the message as it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <memory>
#include <vector>

#include "support/allocation_faults.h"
#include "support/rir_messages.h"

namespace {

using rir_test::build_ex;
using rir_test::nodes_of;
using rir_test::OwnedMsg;

// Same types and values, strings equal but never shared.
void expect_same(const XoltRirMsg& copy, const XoltRirMsg& source) {
  EXPECT_EQ(copy.id, source.id);
  const std::vector<const XoltRirArgNode*> got = nodes_of(copy), want = nodes_of(source);
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    const XoltRirFirstValue& a = got[i]->value.first;
    const XoltRirFirstValue& b = want[i]->value.first;
    ASSERT_EQ(got[i]->type, want[i]->type) << i;
    switch (got[i]->type) {
      case XOLT_RIR_ARG_WSTRING:
        EXPECT_NE(a.wide_string, b.wide_string);
        EXPECT_STREQ(a.wide_string, b.wide_string);
        break;
      case XOLT_RIR_ARG_UTF8STRING:
      case XOLT_RIR_ARG_NATIVESTRING:
        EXPECT_NE(a.string, b.string);
        EXPECT_STREQ(a.string, b.string);
        break;
      case XOLT_RIR_ARG_RIR:
        EXPECT_NE(a.rir, b.rir);
        expect_same(*a.rir, *b.rir);
        break;
      default:
        EXPECT_EQ(std::memcmp(&got[i]->value, &want[i]->value, sizeof(XoltRirArgValue)), 0) << i;
    }
  }
}

class Append : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(build_ex(inner_.get(), 0, 2, "%s%ls%d", "in", L"ner", 3), XOLT_RIR_OK);
    ASSERT_EQ(build_ex(source_.get(), 1, 9, "%lc%lld%hu%f%p%ls%{oserr}%{oserr64}%{time}%{rir}%s",
                       static_cast<wint_t>(0x1F600), -5LL, static_cast<unsigned short>(7), 2.5,
                       static_cast<void*>(this), L"w\u00e9", 5, int64_t{-1}, int64_t{86400},
                       inner_.get(), "utf8"),
              XOLT_RIR_OK);
    ASSERT_EQ(build_ex(native_.get(), 0, 1, "%s", "native"), XOLT_RIR_OK);
  }

  OwnedMsg inner_, source_, native_;
};

TEST_F(Append, CopiesOfEveryTypeMatchTheFormatBuilder) {
  OwnedMsg copy;
  copy.get()->id = 9;
  XoltRirArgIter last{};
  for (const XoltRirArgNode* node : nodes_of(*source_)) {
    ASSERT_EQ(xoltRirAppendArg(copy.get(), node, &last), XOLT_RIR_OK);
    EXPECT_EQ(last.node->next, nullptr);
  }
  expect_same(*copy, *source_);
  // Without an iterator, and onto a message built from a format.
  ASSERT_EQ(xoltRirAppendArg(native_.get(), nodes_of(*source_).back(), nullptr), XOLT_RIR_OK);
  EXPECT_EQ(nodes_of(*native_).size(), 2u);
  EXPECT_STREQ(nodes_of(*native_).back()->value.first.string, "utf8");
}

TEST_F(Append, NestedMessagesAreFilledInPlace) {
  OwnedMsg built;
  built.get()->id = 7;
  XoltRirArgIter last{};
  XoltRirMsg* nested = nullptr;
  ASSERT_EQ(xoltRirAppendArg(built.get(), nodes_of(*native_).front(), &last), XOLT_RIR_OK);
  ASSERT_EQ(xoltRirAppendMsg(built.get(), 2, &nested, &last), XOLT_RIR_OK);
  XoltRirArgIter inner_last{};
  for (const XoltRirArgNode* node : nodes_of(*inner_)) {
    ASSERT_EQ(xoltRirAppendArg(nested, node, &inner_last), XOLT_RIR_OK);
  }
  OwnedMsg expected;
  ASSERT_EQ(build_ex(expected.get(), 0, 7, "%s%{rir}", "native", inner_.get()), XOLT_RIR_OK);
  expect_same(*built, *expected);
}

TEST_F(Append, BadArgumentsAreRefusedAndLeaveTheMessage) {
  const rir_test::NestedChain too_deep(XOLT_RIR_MAX_NESTING);  // one more level as an argument
  XoltRirArgNode bad[] = {{12, {}, nullptr},
                          {-1, {}, nullptr},
                          {XOLT_RIR_ARG_UTF8STRING, {}, nullptr},
                          {XOLT_RIR_ARG_NATIVESTRING, {}, nullptr},
                          {XOLT_RIR_ARG_WSTRING, {}, nullptr},
                          {XOLT_RIR_ARG_RIR, {}, nullptr},
                          {XOLT_RIR_ARG_RIR, {}, nullptr}};
  bad[6].value.first.rir = &too_deep.top();
  XoltRirMsg* nested = nullptr;
  EXPECT_EQ(xoltRirAppendArg(nullptr, nodes_of(*inner_).front(), nullptr), XOLT_RIR_EINVAL);
  EXPECT_EQ(xoltRirAppendArg(native_.get(), nullptr, nullptr), XOLT_RIR_EINVAL);
  EXPECT_EQ(xoltRirAppendMsg(nullptr, 1, &nested, nullptr), XOLT_RIR_EINVAL);
  EXPECT_EQ(xoltRirAppendMsg(native_.get(), 1, nullptr, nullptr), XOLT_RIR_EINVAL);
  XoltRirArgIter last{};
  for (const XoltRirArgNode& node : bad) {
    EXPECT_EQ(xoltRirAppendArg(native_.get(), &node, &last), XOLT_RIR_EINVAL) << node.type;
  }
  EXPECT_EQ(last.node, nullptr);
  EXPECT_EQ(nodes_of(*native_).size(), 1u);
  bad[6].value.first.rir = too_deep.top().args->value.first.rir;  // one level less fits
  EXPECT_EQ(xoltRirAppendArg(native_.get(), &bad[6], &last), XOLT_RIR_OK);
}

TEST_F(Append, ExhaustionLeavesTheMessageAsItWas) {
  const std::vector<const XoltRirArgNode*> nodes = nodes_of(*source_);
  for (const XoltRirArgNode* node : {nodes[5], nodes[9]}) {  // a wide string, a nested message
    const int runs = xoltlog::test::for_each_allocation_fault(
        [](long) {
          auto msg = std::make_unique<OwnedMsg>();
          EXPECT_EQ(build_ex(msg->get(), 0, 1, "%s", "kept"), XOLT_RIR_OK);
          return msg;
        },
        [&](auto& msg) { return xoltRirAppendArg(msg->get(), node, nullptr); },
        [](long, auto& msg, int32_t status) {
          EXPECT_EQ(nodes_of(**msg).size(), status == XOLT_RIR_OK ? 2u : 1u);
          EXPECT_TRUE(status == XOLT_RIR_OK || status == XOLT_RIR_ENOMEM) << status;
        });
    EXPECT_GT(runs, 2);
  }
  XoltRirMsg* in_place = nullptr;
  xoltlog::test::arm_allocation_fault(0);
  EXPECT_EQ(xoltRirAppendMsg(native_.get(), 3, &in_place, nullptr), XOLT_RIR_ENOMEM);
  xoltlog::test::disarm_allocation_fault();
  EXPECT_EQ(in_place, nullptr);
  EXPECT_EQ(nodes_of(*native_).size(), 1u);
}

}  // namespace
