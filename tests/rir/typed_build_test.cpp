// xoltRirVEx: one typed node per conversion, values converted as printf
// converts them, and refusals that leave the message untouched.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <sys/types.h>
#include <tuple>
#include <utility>
#include <vector>

#include "support/rir_messages.h"

namespace {

using rir_test::build_ex;
using rir_test::build_text;
using rir_test::nodes_of;
using rir_test::OwnedMsg;

// Type, width and value of an integer node.
using Number = std::tuple<int32_t, uint64_t, int64_t>;

Number number_of(const XoltRirArgNode* node) {
  return {node->type, node->value.first.width, node->value.second.signed_number};
}

template <typename Field>
auto each_node(const XoltRirMsg& msg, Field field) {
  std::vector<decltype(field(nullptr))> values;
  for (const XoltRirArgNode* node : nodes_of(msg)) {
    values.push_back(field(node));
  }
  return values;
}

int32_t type_of(const XoltRirArgNode* node) { return node->type; }

TEST(TypedBuild, IntegersAreConvertedAsPrintfConvertsThem) {
  OwnedMsg msg;
  ASSERT_EQ(build_ex(msg.get(), 0, 7, "%hhd %hhi %hd %d %ld %lld %jd %zd %td", 300, SCHAR_MIN,
                     70000, INT_MIN, LONG_MAX, LLONG_MIN, INTMAX_MAX, ssize_t{-5},
                     ptrdiff_t{-6}),
            XOLT_RIR_OK);
  EXPECT_EQ((*msg).id, 7u);
  EXPECT_EQ(each_node(*msg, number_of),
            (std::vector<Number>{{1, 8, 44}, {1, 8, SCHAR_MIN}, {1, 16, 4464}, {1, 32, INT_MIN},
                                 {1, 64, LONG_MAX}, {1, 64, INT64_MIN}, {1, 64, INT64_MAX},
                                 {1, 64, -5}, {1, 64, -6}}));
  OwnedMsg unsigned_msg;
  ASSERT_EQ(build_ex(unsigned_msg.get(), 0, 8, "%hhu %hu %u %lu %llu %ju %zu %to %x %#X", 263,
                     65545, UINT_MAX, ULONG_MAX, ULLONG_MAX, uintmax_t{1}, size_t{2},
                     ptrdiff_t{-1}, 255u, 4096u),
            XOLT_RIR_OK);
  EXPECT_EQ(each_node(*unsigned_msg, number_of),
            (std::vector<Number>{{2, 8, 7}, {2, 16, 9}, {2, 32, UINT_MAX}, {2, 64, -1},
                                 {2, 64, -1}, {2, 64, 1}, {2, 64, 2}, {2, 64, -1}, {2, 32, 255},
                                 {2, 32, 4096}}));
}

// The conversions the getters' test does not build: literal text is not
// stored, %Le is narrowed, %c is a string and %m reads errno, which the
// build leaves as it was.
TEST(TypedBuild, EachConversionStoresItsTypeAndValue) {
  OwnedMsg msg;
  errno = EACCES;
  ASSERT_EQ(build_ex(msg.get(), 0, 3, "%lc|%Le|%c|%m", wint_t{0x263A}, 1e10L, 'q'), XOLT_RIR_OK);
  EXPECT_EQ(errno, EACCES);
  EXPECT_EQ(each_node(*msg, type_of), (std::vector<int32_t>{0, 3, 11, 6}));
  const auto nodes = nodes_of(*msg);
  ASSERT_EQ(nodes.size(), 4u);
  EXPECT_EQ(nodes[0]->value.first.number, uint64_t{0x263A}) << "the rest of the slot is zero";
  EXPECT_EQ(nodes[1]->value.first.number_double, 1e10);
  EXPECT_STREQ(nodes[2]->value.first.string, "q");
  EXPECT_EQ(number_of(nodes[3]), Number(XOLT_RIR_ARG_OS_ERROR, 32, EACCES));

  OwnedMsg utf8;  // the UTF-8 flag applies to %s only
  ASSERT_EQ(build_ex(utf8.get(), 1, 1, "%s %c %ls", "text", 'c', L"w"), XOLT_RIR_OK);
  EXPECT_EQ(each_node(*utf8, type_of), (std::vector<int32_t>{10, 11, 5}));
}

TEST(TypedBuild, StarsAreConsumedAndPrecisionBoundsStringReads) {
  const char bytes[3] = {'a', 'b', 'c'};  // deliberately unterminated
  const wchar_t wide[2] = {L'x', L'y'};
  OwnedMsg msg;
  ASSERT_EQ(build_ex(msg.get(), 0, 1, "%-*.*s|%.2s|%.*ls|%*d|%.*s|%s|%ls|%.1s", -7, 2, bytes,
                     bytes, 1, wide, 5, 42, -1, "whole", nullptr,
                     static_cast<const wchar_t*>(nullptr), nullptr),
            XOLT_RIR_OK);
  const auto nodes = nodes_of(*msg);
  ASSERT_EQ(nodes.size(), 8u);
  EXPECT_STREQ(nodes[0]->value.first.string, "ab");
  EXPECT_STREQ(nodes[1]->value.first.string, "ab");
  EXPECT_STREQ(nodes[2]->value.first.wide_string, L"x");
  EXPECT_EQ(number_of(nodes[3]), Number(XOLT_RIR_ARG_LONGLONG, 32, 42));
  EXPECT_STREQ(nodes[4]->value.first.string, "whole") << "a negative '*' precision is none";
  EXPECT_STREQ(nodes[5]->value.first.string, "(null)");
  EXPECT_STREQ(nodes[6]->value.first.wide_string, L"(null)");
  EXPECT_STREQ(nodes[7]->value.first.string, "(null)");
}

// Every row fails at its last conversion, some after a string node has been
// allocated; the sanitizer checks that nothing of it is left behind.
TEST(TypedBuild, MalformedFormatsAreRefusedByBothBuilders) {
  const char* const formats[] = {
      "%n", "%s%n", "%1$d", "%*1$d", "%", "%s%", "abc%", "%{nope}", "%s%{oserr", "%{}",
      "%Ls", "%hp", "%Lc", "%hhf", "%lm", "%Ld", "%y", "%C", "%-{utf8}", "%5%", "%.99999999999d",
      "%s%{utf8}", "%{rir}"};
  for (const char* format : formats) {
    SCOPED_TRACE(format);
    OwnedMsg typed;
    EXPECT_EQ(build_ex(typed.get(), 0, 5, format, nullptr, nullptr), XOLT_RIR_EINVAL);
    EXPECT_TRUE(typed.zeroed());
    OwnedMsg text;
    EXPECT_EQ(build_text(text.get(), format, nullptr, nullptr), XOLT_RIR_EINVAL);
    EXPECT_TRUE(text.zeroed());
  }
}

TEST(TypedBuild, BadCallsAreRefusedWithoutTouchingTheMessage) {
  OwnedMsg msg;
  EXPECT_EQ(build_ex(nullptr, 0, 1, "%d", 1), XOLT_RIR_EINVAL);
  EXPECT_EQ(build_ex(msg.get(), 0, 0, "%d", 1), XOLT_RIR_EINVAL) << "id 0 is reserved for text";
  EXPECT_EQ(build_ex(msg.get(), 0, 1, nullptr), XOLT_RIR_EINVAL);
  EXPECT_EQ(build_text(msg.get(), nullptr), XOLT_RIR_EINVAL);
  EXPECT_TRUE(msg.zeroed());
  ASSERT_EQ(build_ex(msg.get(), 0, 4, "%d", 1), XOLT_RIR_OK);
  const XoltRirArgNode* args = (*msg).args;
  EXPECT_EQ(build_ex(msg.get(), 0, 5, "%d", 2), XOLT_RIR_EINVAL) << "message not zeroed";
  EXPECT_EQ(build_text(msg.get(), "x"), XOLT_RIR_EINVAL);
  EXPECT_EQ((*msg).id, 4u);
  EXPECT_EQ((*msg).args, args);
}

TEST(TypedBuild, NestedMessagesAreDeepCopies) {
  OwnedMsg outer;
  {
    OwnedMsg inner;
    ASSERT_EQ(build_ex(inner.get(), 0, 9, "%s %d", "kept", 17), XOLT_RIR_OK);
    OwnedMsg middle;
    ASSERT_EQ(build_ex(middle.get(), 0, 10, "%{rir}", inner.get()), XOLT_RIR_OK);
    ASSERT_EQ(build_text(outer.get(), "[%{rir}]", middle.get()), XOLT_RIR_OK);
  }  // the caller's messages are gone; the copies must not depend on them
  const XoltRirMsg& middle = *nodes_of(*outer).at(1)->value.first.rir;
  const XoltRirMsg& inner = *nodes_of(middle).at(0)->value.first.rir;
  EXPECT_EQ(std::tuple(middle.id, inner.id), std::tuple(10u, 9u));
  const auto inner_nodes = nodes_of(inner);
  ASSERT_EQ(inner_nodes.size(), 2u);
  EXPECT_STREQ(inner_nodes[0]->value.first.string, "kept");
  EXPECT_EQ(number_of(inner_nodes[1]), Number(XOLT_RIR_ARG_LONGLONG, 32, 17));
}

// The good node is copied before the bad one is met.
TEST(TypedBuild, MalformedNestedMessagesAreRefused) {
  XoltRirArgNode bad_type{42, {}, nullptr};
  XoltRirArgNode missing_text{XOLT_RIR_ARG_UTF8STRING, {}, nullptr};
  for (XoltRirArgNode* bad : {&bad_type, &missing_text}) {
    XoltRirArgNode fine{XOLT_RIR_ARG_DOUBLE, {}, bad};
    const XoltRirMsg nested{1, &fine};
    OwnedMsg msg;
    EXPECT_EQ(build_ex(msg.get(), 0, 2, "%{rir}", &nested), XOLT_RIR_EINVAL);
    EXPECT_TRUE(msg.zeroed());
  }
}

// A copy may nest as deep as the logging library writes, no deeper; a
// message that holds itself is refused rather than copied without end.
TEST(TypedBuild, NestedMessagesDeeperThanTheLimitAreRefused) {
  for (const auto& [depth, status] : {std::pair{XOLT_RIR_MAX_NESTING - 1, XOLT_RIR_OK},
                                      std::pair{XOLT_RIR_MAX_NESTING, XOLT_RIR_EINVAL}}) {
    const rir_test::NestedChain chain(depth);
    OwnedMsg msg;
    EXPECT_EQ(build_ex(msg.get(), 0, 2, "%{rir}", &chain.top()), status) << depth;
    EXPECT_EQ(msg.zeroed(), status != XOLT_RIR_OK);
  }
  XoltRirArgNode loop{XOLT_RIR_ARG_RIR, {}, nullptr};
  const XoltRirMsg itself{1, &loop};
  loop.value.first.rir = &itself;
  OwnedMsg msg;
  EXPECT_EQ(build_text(msg.get(), "%{rir}", &itself), XOLT_RIR_EINVAL);
}

}  // namespace
