// Reading messages back: iteration, typed getters and release.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "support/rir_messages.h"

namespace {

using rir_test::build_ex;
using rir_test::build_text;
using rir_test::nodes_of;
using rir_test::OwnedMsg;

using Getter = std::function<int32_t(const XoltRirArgIter*)>;

// A getter that, when it succeeds, hands the value to check.
template <typename T, typename Check>
Getter checked(int32_t (*get)(const XoltRirArgIter*, T*) noexcept, Check check) {
  return [get, check](const XoltRirArgIter* it) {
    T value{};
    const int32_t status = get(it, &value);
    if (status == XOLT_RIR_OK) {
      check(value);
    }
    return status;
  };
}

// Each getter with the node type it accepts and the value it must read from
// the message of EveryGetterAcceptsExactlyItsTypeAndReadsItsValue.
const std::vector<std::pair<int32_t, Getter>>& getters() {
  static const std::vector<std::pair<int32_t, Getter>> all = {
      {0, checked(xoltRirGetArg_wchar, [](wchar_t v) { EXPECT_EQ(v, L'k'); })},
      {1, checked(xoltRirGetArg_longlong, [](int64_t v) { EXPECT_EQ(v, -5); })},
      {2, checked(xoltRirGetArg_ulonglong, [](uint64_t v) { EXPECT_EQ(v, 6u); })},
      {3, checked(xoltRirGetArg_double, [](double v) { EXPECT_EQ(v, 7.5); })},
      {4, checked(xoltRirGetArg_pointer, [](uint64_t v) { EXPECT_EQ(v, 0x1000u); })},
      {5, checked(xoltRirGetArg_wstring, [](const wchar_t* v) { EXPECT_STREQ(v, L"w"); })},
      {6, checked(xoltRirGetArg_os_error,
                  [](const XoltRirArgValue* v) {
                    EXPECT_EQ(v->second.signed_number, v->first.width == 32 ? 8 : 9);
                  })},
      {8, checked(xoltRirGetArg_datetime, [](int64_t v) { EXPECT_EQ(v, int64_t{1} << 40); })},
      {9, checked(xoltRirGetArg_rir, [](const XoltRirMsg* v) { EXPECT_EQ(v->id, 77u); })},
      {10, checked(xoltRirGetArg_utf8string, [](const char* v) { EXPECT_STREQ(v, "u"); })},
      {11, checked(xoltRirGetArg_nativeString, [](const char* v) { EXPECT_STREQ(v, "n"); })},
  };
  return all;
}

TEST(Access, EveryGetterAcceptsExactlyItsTypeAndReadsItsValue) {
  OwnedMsg nested;
  ASSERT_EQ(build_ex(nested.get(), 0, 77, "%d", 1), XOLT_RIR_OK);
  OwnedMsg msg;
  ASSERT_EQ(build_ex(msg.get(), 0, 21, "%lc%lld%llu%f%p%ls%{oserr}%{oserr64}%{time}%{rir}%{utf8}%s",
                     wint_t{L'k'}, -5LL, 6ULL, 7.5, reinterpret_cast<void*>(0x1000), L"w", 8,
                     int64_t{9}, int64_t{1} << 40, nested.get(), "u", "n"),
            XOLT_RIR_OK);
  XoltRirArgIter it{};
  int32_t position = 0;
  for (int32_t status = xoltRirGetArgsBegin(msg.get(), &it); status == XOLT_RIR_OK;
       status = xoltRirGetNextArg(&it), ++position) {
    uint32_t type = 99;
    ASSERT_EQ(xoltRirGetArgTypeId(&it, &type), XOLT_RIR_OK);
    EXPECT_EQ(type, static_cast<uint32_t>(position));
    for (const auto& [accepted, get] : getters()) {
      const bool match = accepted == position || (accepted == 6 && position == 7);
      EXPECT_EQ(get(&it), match ? XOLT_RIR_OK : XOLT_RIR_EINVAL)
          << "getter for " << accepted << " on type " << position;
    }
  }
  EXPECT_EQ(position, 12);
}

// Every getter refuses an iterator on no argument; the iterator stays on the
// last argument at the end.
TEST(Access, IterationEndsWithoutMovingPastTheLastArgument) {
  OwnedMsg empty;
  const XoltRirArgNode stale{};
  XoltRirArgIter it{&stale};
  uint32_t count = 9;
  EXPECT_EQ(xoltRirGetArgCount(empty.get(), &count), XOLT_RIR_OK);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(xoltRirGetArgsBegin(empty.get(), &it), XOLT_RIR_END);
  EXPECT_EQ(it.node, nullptr);
  EXPECT_EQ(xoltRirGetNextArg(&it), XOLT_RIR_END);
  for (const auto& entry : getters()) {
    EXPECT_EQ(entry.second(&it), XOLT_RIR_EINVAL);
    EXPECT_EQ(entry.second(nullptr), XOLT_RIR_EINVAL);
  }

  OwnedMsg msg;
  ASSERT_EQ(build_text(msg.get(), "%d and %d", 1, 2), XOLT_RIR_OK);
  EXPECT_EQ(xoltRirGetArgCount(msg.get(), &count), XOLT_RIR_OK);
  EXPECT_EQ(count, 3u);
  ASSERT_EQ(xoltRirGetArgsBegin(msg.get(), &it), XOLT_RIR_OK);
  ASSERT_EQ(xoltRirGetNextArg(&it), XOLT_RIR_OK);
  ASSERT_EQ(xoltRirGetNextArg(&it), XOLT_RIR_OK);
  const XoltRirArgNode* last = it.node;
  EXPECT_EQ(xoltRirGetNextArg(&it), XOLT_RIR_END);
  EXPECT_EQ(it.node, last);
}

TEST(Access, NullArgumentsAreRefused) {
  OwnedMsg msg;
  ASSERT_EQ(build_ex(msg.get(), 0, 4, "%d", 1), XOLT_RIR_OK);
  uint32_t id = 0;
  EXPECT_EQ(xoltRirGetTextId(msg.get(), &id), XOLT_RIR_OK);
  EXPECT_EQ(id, 4u);
  EXPECT_EQ(xoltRirGetTextId(nullptr, &id), XOLT_RIR_EINVAL);
  EXPECT_EQ(xoltRirGetArgCount(msg.get(), nullptr), XOLT_RIR_EINVAL);
  EXPECT_EQ(xoltRirGetArgsBegin(msg.get(), nullptr), XOLT_RIR_EINVAL);
  EXPECT_EQ(xoltRirGetNextArg(nullptr), XOLT_RIR_EINVAL);
  EXPECT_EQ(xoltRirGetArgTypeId(nullptr, &id), XOLT_RIR_EINVAL);
  XoltRirArgIter it{};
  ASSERT_EQ(xoltRirGetArgsBegin(msg.get(), &it), XOLT_RIR_OK);
  EXPECT_EQ(xoltRirGetArg_longlong(&it, nullptr), XOLT_RIR_EINVAL);
}

// Nested lists are released with their owner (the leak checker watches);
// the message is left zeroed, so a second release is harmless.
TEST(Access, FreeReleasesNestedListsAndZeroes) {
  EXPECT_EQ(xoltRirFree(nullptr), XOLT_RIR_EINVAL);
  OwnedMsg inner;
  ASSERT_EQ(build_text(inner.get(), "%s %ls %{utf8}", "a", L"b", "c"), XOLT_RIR_OK);
  XoltRirMsg msg{};
  ASSERT_EQ(build_ex(&msg, 0, 3, "%{rir}%s", inner.get(), "tail"), XOLT_RIR_OK);
  EXPECT_EQ(xoltRirFree(&msg), XOLT_RIR_OK);
  EXPECT_EQ(msg.id, 0u);
  EXPECT_EQ(msg.args, nullptr);
  EXPECT_EQ(xoltRirFree(&msg), XOLT_RIR_OK);
}

}  // namespace
