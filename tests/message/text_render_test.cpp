// Rendering messages to text through the exported functions: the two passes
// of strncatlis, listxt_svnprintf on top of them, fstrncat, and arguments as
// wide strings. Runs in the "C" locale, where code-page text is UTF-8.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <cwchar>
#include <string>
#include <vector>

#include "support/allocation_faults.h"
#include "support/rir_messages.h"
#include "support/time_zone.h"
#include "xoltlog/frame.h"
#include "xoltlog/text_render.h"

namespace {

using rir_test::OwnedMsg;

constexpr uint64_t kFailed = UINT64_MAX;
constexpr int64_t kMay17 = 1684318830;  // 2023-05-17 10:20:30 UTC
constexpr char kGuard = '\x5a';
constexpr size_t kGuardBytes = 64;

// US Eastern time as a POSIX rule, so that no zone database is needed.
class EasternTime : public testing::Test {
  xoltlog::test::ScopedTimeZone zone_{"EST5EDT,M3.2.0,M11.1.0"};
};

uint64_t size_of(const XoltRirMsg& msg) {
  uint64_t size = 12345;
  EXPECT_EQ(strncatlis(nullptr, &size, &msg), nullptr);
  return size;
}

// The fill pass into a zeroed buffer of the measured size, followed by a
// guard region that must come back untouched.
std::string fill_measured(const XoltRirMsg& msg) {
  const uint64_t size = size_of(msg);
  if (size == kFailed) {
    return "<failed>";
  }
  std::vector<char> buffer(size + kGuardBytes, kGuard);
  std::fill_n(buffer.begin(), size, '\0');
  uint64_t in_out = size;
  const char* text = strncatlis(size == 0 ? nullptr : buffer.data(), &in_out, &msg);
  for (size_t i = size; i < buffer.size(); ++i) {
    EXPECT_EQ(buffer[i], kGuard) << "written past the buffer at " << i;
  }
  return text == nullptr ? "" : text;
}

// The fill pass into a buffer far larger than any estimate: the full text.
std::string fill_roomy(const XoltRirMsg& msg) {
  std::vector<char> buffer(4096, '\0');
  uint64_t size = buffer.size();
  const char* text = strncatlis(buffer.data(), &size, &msg);
  return text == nullptr ? "<failed>" : text;
}

uint32_t render_into(char** text, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const uint32_t result = listxt_svnprintf(text, format, args);
  va_end(args);
  return result;
}

template <typename... Args>
std::string render(const char* format, Args... args) {
  char* text = nullptr;
  EXPECT_EQ(render_into(&text, format, args...), XOLTLOG_OK);
  std::string copy = text == nullptr ? "<null>" : text;
  xoltLogFree(text);
  return copy;
}

TEST_F(EasternTime, PrintfStyleExamples) {
  OwnedMsg nested;
  ASSERT_EQ(rir_test::build_ex(nested.get(), 0, 42, "%s%d", "abc", 7), XOLT_RIR_OK);
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {render(""), "<null>"},
      {render("%d apples and %s", 3, "pears"), "3 apples and pears"},
      {render("before %{rir} after", nested.get()),
       "before [Cannot find catalog for message id=42] abc,7 after"},
      // The date's estimate leaves out its line feed and the space after it.
      {render("%{time}", kMay17), "Wed May 17 06:20:30 2023"},
      // 1e20 is 28 characters as "%f"; 15 bytes are reserved for a double.
      {render("%f", 1e20), "10000000000000"},
      {render("%ls=%lc", L"gr\u00fc\u00dfe", L'\u20ac'), "gr\u00fc\u00dfe=\u20ac"},
      {render("%d", INT32_MIN), "-2147483648"},
      {render("%q"), "<null>"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.text, c.expected);
  }
}

TEST(TextRender, CatalogMessageWithoutItsCatalog) {
  OwnedMsg msg, bare;
  ASSERT_EQ(rir_test::build_ex(msg.get(), 0, 1234, "%s%d%s", "abc", 7, "x"), XOLT_RIR_OK);
  ASSERT_EQ(rir_test::build_ex(bare.get(), 0, 4294967295u, ""), XOLT_RIR_OK);
  EXPECT_EQ(size_of(*msg), 51u + 4 + 1 + 20 + 1 + 2);
  EXPECT_EQ(fill_measured(*msg), "[Cannot find catalog for message id=1234] abc,7,x");
  EXPECT_EQ(size_of(*bare), 51u);
  EXPECT_EQ(fill_measured(*bare), "[Cannot find catalog for message id=4294967295] ");
}

// Every argument type, narrow (behind the catalog prefix, with its estimate)
// and wide.
TEST_F(EasternTime, EachArgumentTypeBothWays) {
  OwnedMsg nested;
  ASSERT_EQ(rir_test::build_ex(nested.get(), 0, 9, "%d", 1), XOLT_RIR_OK);
  struct Case {
    OwnedMsg msg;
    std::string narrow;
    uint64_t estimate;
    uint32_t wide_result;
    std::wstring wide;
  };
  Case cases[15];
  auto row = [&cases](size_t i, const char* format, auto value, std::string narrow,
                      uint64_t estimate, uint32_t wide_result, std::wstring wide) {
    ASSERT_EQ(rir_test::build_ex(cases[i].msg.get(), 0, 7, format, value), XOLT_RIR_OK) << format;
    cases[i].narrow = std::move(narrow);
    cases[i].estimate = estimate;
    cases[i].wide_result = wide_result;
    cases[i].wide = std::move(wide);
  };
  row(0, "%lc", static_cast<wint_t>(L'\u00e9'), "\u00e9", 2, 0, L"\u00e9");
  row(1, "%lld", -5LL, "-5", 20, 0, L"-5");
  row(2, "%llu", UINT64_MAX, "18446744073709551615", 20, 0, L"18446744073709551615");
  row(3, "%f", 2.5, "2.500000", 15, 0, L"2.500000");
  row(4, "%p", reinterpret_cast<void*>(0x1f), "0x1f", 20, 0, L"0x1f");
  row(5, "%p", static_cast<void*>(nullptr), "0x0", 20, 0, L"0");
  row(6, "%ls", L"wide", "wide", 5, 0, L"wide");
  row(7, "%{oserr}", -2, "-2", 10, 0, L"-2");
  row(8, "%{oserr64}", int64_t{1} << 40, "0", 10, 0, L"1099511627776");
  row(9, "%{time}", kMay17, "Wed May 17 06:20:30 2023\n ", 25, 0, L"Wed May 17 06:20:30 2023");
  row(10, "%{rir}", nested.get(), "[Cannot find catalog for message id=9] 1", 71, 1, L"");
  row(11, "%{utf8}", "gr\u00fc\u00dfe", "gr\u00fc\u00dfe", 8, 0, L"gr\u00fc\u00dfe");
  row(12, "%s", "", "", 1, 1, L"");
  row(13, "%s", "plain", "plain", 6, 0, L"plain");
  // A double whose "%f" passes the 99 characters of the wide form.
  char huge[400];
  std::snprintf(huge, sizeof huge, "%f", -1e300);
  row(14, "%f", -1e300, huge, 15, 0, std::wstring(huge, huge + 99));
  for (Case& c : cases) {
    const std::string prefix = "[Cannot find catalog for message id=7] ";
    SCOPED_TRACE(c.narrow);
    EXPECT_EQ(size_of(*c.msg), 51 + c.estimate);
    EXPECT_EQ(fill_roomy(*c.msg), prefix + c.narrow);
    EXPECT_EQ(fill_measured(*c.msg), (prefix + c.narrow).substr(0, 50 + c.estimate));

    XoltRirArgIter it{};
    ASSERT_EQ(xoltRirGetArgsBegin(c.msg.get(), &it), XOLT_RIR_OK);
    wchar_t* wide = reinterpret_cast<wchar_t*>(1);
    EXPECT_EQ(xoltLogGetArg_asStringW(&it, &wide), c.wide_result);
    EXPECT_EQ(wide == nullptr ? std::wstring() : std::wstring(wide), c.wide);
    EXPECT_EQ(wide == nullptr, c.wide_result != 0);
    xoltLogFree(wide);
  }
}

// Hand-made nodes of the layout rir.h gives, for what the catalog library
// itself would never build.
struct HandMade {
  XoltRirArgNode nodes[3] = {};
  XoltRirMsg msg{5, &nodes[0]};
  HandMade(int32_t second_type, XoltRirFirstValue second_value) {
    nodes[0].type = XOLT_RIR_ARG_NATIVESTRING;
    nodes[0].value.first.string = "ok";
    nodes[0].next = &nodes[1];
    nodes[1].type = second_type;
    nodes[1].value.first = second_value;
    nodes[1].next = &nodes[2];
    nodes[2].type = XOLT_RIR_ARG_NATIVESTRING;
    nodes[2].value.first.string = "after";
  }
};

TEST(TextRender, BadInputFailsCleanly) {
  const std::string prefix = "[Cannot find catalog for message id=5] ";
  const struct {
    int32_t type;
    XoltRirFirstValue value;
    std::string expected;
  } cases[] = {
      // Types beyond the table end the text where they stand.
      {12, {.number = 0}, prefix + "ok"},
      {-1, {.number = 0}, prefix + "ok"},
      {XOLT_RIR_ARG_NATIVESTRING, {.string = "\xff\xfe"}, prefix + "ok,\xff\xfe,after"},
      {XOLT_RIR_ARG_WCHAR, {.wide_char = static_cast<wchar_t>(0xd800)}, prefix + "ok,,after"},
      {XOLT_RIR_ARG_WSTRING, {.wide_string = L"a\xd800"}, "<failed>"},
      {XOLT_RIR_ARG_UTF8STRING, {.string = nullptr}, "<failed>"},
      {XOLT_RIR_ARG_RIR, {.rir = nullptr}, "<failed>"},
  };
  for (const auto& c : cases) {
    HandMade made(c.type, c.value);
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(fill_measured(made.msg), c.expected);
    EXPECT_EQ(fill_roomy(made.msg), c.expected);
  }

  HandMade invalid(XOLT_RIR_ARG_NATIVESTRING, {.string = "\xff"});
  XoltRirArgIter it{};
  ASSERT_EQ(xoltRirGetArgsBegin(&invalid.msg, &it), XOLT_RIR_OK);
  ASSERT_EQ(xoltRirGetNextArg(&it), XOLT_RIR_OK);
  wchar_t* wide = nullptr;
  EXPECT_EQ(xoltLogGetArg_asStringW(&it, &wide), XOLTLOG_E_FAILED);
  EXPECT_EQ(wide, nullptr);
  EXPECT_EQ(xoltLogGetArg_asStringW(nullptr, &wide), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogGetArg_asStringW(&it, nullptr), XOLTLOG_E_INVALID_ARG);

  uint64_t size = 0;
  EXPECT_EQ(strncatlis(nullptr, &size, nullptr), nullptr);
  EXPECT_EQ(size, kFailed);
  EXPECT_EQ(strncatlis(nullptr, nullptr, &invalid.msg), nullptr);
  EXPECT_EQ(render_into(nullptr, "x"), XOLTLOG_E_INVALID_ARG);
}

TEST(TextRender, NestingStopsAtTheSharedLimit) {
  const rir_test::NestedChain deepest(XOLT_RIR_MAX_NESTING);
  EXPECT_EQ(size_of(deepest.top()), 51u * (XOLT_RIR_MAX_NESTING + 1));
  const std::string text = fill_measured(deepest.top());
  EXPECT_EQ(text.rfind("[Cannot find catalog for message id=1] [Cannot find", 0), 0u);
  EXPECT_TRUE(text.ends_with("id=256] [Cannot find catalog for message id=257] ")) << text;

  const rir_test::NestedChain deeper(XOLT_RIR_MAX_NESTING + 1);
  EXPECT_EQ(size_of(deeper.top()), kFailed);
  EXPECT_EQ(fill_roomy(deeper.top()), "<failed>");

  // A message that holds itself would never end without the limit.
  XoltRirArgNode self_node{};
  XoltRirMsg self{3, &self_node};
  self_node.type = XOLT_RIR_ARG_RIR;
  self_node.value.first.rir = &self;
  EXPECT_EQ(size_of(self), kFailed);
}

TEST(TextRender, LongStringsAndSmallBuffers) {
  const std::string long_text(100000, 'x');
  EXPECT_EQ(render("<%s>", long_text.c_str()), "<" + long_text + ">");

  OwnedMsg msg;
  ASSERT_EQ(rir_test::build_text(msg.get(), "%s", long_text.c_str()), XOLT_RIR_OK);
  for (uint64_t size : {1u, 2u, 10u}) {
    std::vector<char> buffer(size + kGuardBytes, kGuard);
    std::fill_n(buffer.begin(), size, '\0');
    uint64_t in_out = size;
    EXPECT_EQ(strncatlis(buffer.data(), &in_out, msg.get()), buffer.data());
    EXPECT_EQ(std::string(buffer.data()), long_text.substr(0, size - 1));
    EXPECT_EQ(buffer[size], kGuard);
  }
}

TEST(TextRender, FstrncatAppendsWhatFits) {
  const struct {
    const char* initial;
    uint64_t size;
    std::string expected;
  } cases[] = {
      {"ab", 8, "ab12345"}, {"ab", 6, "ab123"}, {"abcde", 6, "abcde"}, {"", 1, ""}, {"", 0, ""},
  };
  for (const auto& c : cases) {
    char buffer[16] = {};
    std::snprintf(buffer, sizeof buffer, "%s", c.initial);
    std::fill(buffer + c.size, buffer + sizeof buffer, kGuard);
    EXPECT_EQ(fstrncat(buffer, c.size, "%d%s", 12345, "six"), buffer);
    EXPECT_EQ(std::string(buffer, std::find(buffer, buffer + c.size, '\0')), c.expected);
    EXPECT_TRUE(
        std::all_of(buffer + c.size, buffer + sizeof buffer, [](char b) { return b == kGuard; }));
  }
  EXPECT_EQ(fstrncat(nullptr, 8, "%d", 1), nullptr);
}

// A failed allocation anywhere gives no text or the whole text, and leaks
// nothing (checked under LeakSanitizer).
TEST(TextRender, EveryAllocationFailureLeavesNoPartialText) {
  // Nothing but the code under test may allocate while a fault is armed.
  const int runs = xoltlog::test::for_each_allocation_fault(
      [](long) { return 0; },
      [](int) {
        char* text = nullptr;
        render_into(&text, "%ls and %{utf8} %d", L"wide", "u8", 3);
        return text;
      },
      [](long allowed, int, char* text) {
        EXPECT_TRUE(text == nullptr || std::string(text) == "wide and u8 3") << allowed;
        xoltLogFree(text);
      });
  EXPECT_GT(runs, 2);
}

}  // namespace
