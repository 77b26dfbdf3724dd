// xoltRirTextV: the nodes, rendered one after another the way the logging
// library renders them, must spell exactly what vsnprintf prints.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "support/rir_messages.h"

namespace {

using rir_test::build_text;
using rir_test::nodes_of;
using rir_test::OwnedMsg;

// The logging library's renderings: std::to_string prints integers as
// %lld / %llu do and doubles as "%f" does.
std::string render_node(const XoltRirArgNode& node) {
  const XoltRirArgValue& value = node.value;
  char wide[64];
  int size = 0;
  switch (node.type) {
    case XOLT_RIR_ARG_NATIVESTRING: return value.first.string;
    case XOLT_RIR_ARG_LONGLONG: return std::to_string(value.second.signed_number);
    case XOLT_RIR_ARG_ULONGLONG: return std::to_string(value.second.unsigned_number);
    case XOLT_RIR_ARG_DOUBLE: return std::to_string(value.first.number_double);
    case XOLT_RIR_ARG_POINTER: {
      std::ostringstream hex;
      hex << "0x" << std::hex << value.first.number;
      return hex.str();
    }
    case XOLT_RIR_ARG_WSTRING:
      size = std::snprintf(wide, sizeof wide, "%ls", value.first.wide_string);
      return size < 0 ? "<unprintable>" : wide;
    case XOLT_RIR_ARG_WCHAR:
      size = std::snprintf(wide, sizeof wide, "%lc",
                           static_cast<wint_t>(value.first.wide_char));
      return size < 0 ? "<unprintable>" : wide;
    default: return "<type " + std::to_string(node.type) + ">";
  }
}

std::string render(const XoltRirMsg& msg) {
  std::string text;
  for (const XoltRirArgNode* node : nodes_of(msg)) {
    text += render_node(*node);
  }
  return text;
}

// errno is reset before each side so that %m sees the same error in both.
__attribute__((format(gnu_printf, 1, 2))) testing::AssertionResult matches_printf(
    const char* format, ...) {
  const int saved_errno = errno;
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  char expected[8192];
  const int size = std::vsnprintf(expected, sizeof expected, format, args);
  va_end(args);
  OwnedMsg msg;
  errno = saved_errno;
  const int32_t status = xoltRirTextV(msg.get(), format, copy);
  va_end(copy);
  if (size < 0 || static_cast<std::size_t>(size) >= sizeof expected || status != XOLT_RIR_OK) {
    return testing::AssertionFailure() << format << ": status " << status << ", size " << size;
  }
  const std::string actual = render(*msg);
  if (actual != expected || (*msg).id != 0) {
    return testing::AssertionFailure() << format << ": \"" << actual << "\" != \"" << expected
                                       << "\"";
  }
  return testing::AssertionSuccess();
}

// Integers with their lengths, flags and '*' amounts, doubles, text,
// pointers and percent signs.
TEST(TextBuild, ConversionsRenderLikePrintf) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  int object = 0;
  const char* null_text = nullptr;
  const wchar_t* null_wide = nullptr;
  void* null_pointer = nullptr;
  EXPECT_TRUE(matches_printf("%d|%i|%u|%d", INT32_MIN, INT32_MAX, UINT32_MAX, 0));
  EXPECT_TRUE(matches_printf("%hhd|%hhd|%hhu|%hd|%hu", SCHAR_MIN, 300, 511, 70000, 70000));
  EXPECT_TRUE(matches_printf("%lld|%llu|%jd|%zu|%td|%ld", LLONG_MIN, ULLONG_MAX, INTMAX_MAX,
                             SIZE_MAX, PTRDIFF_MIN, LONG_MIN));
  EXPECT_TRUE(matches_printf("%x|%#X|%o|%#o|%hhx|%lx", 255u, 255u, 8u, 0u, 0x1ffu, ULONG_MAX));
  EXPECT_TRUE(matches_printf("%5d|%-5d|%05d|%+d|% d|%.3d|%.0d", 42, -7, -7, 3, 3, 5, 0));
  EXPECT_TRUE(matches_printf("[%*d][%-*d][%*d]", 6, 1, 6, 2, -6, 3));
  EXPECT_TRUE(matches_printf("[%.*f][%.*f][%*.*s]", 2, 3.14159, -1, 3.14159, 8, 2, "abcdef"));
  EXPECT_TRUE(matches_printf("[%*.*hhd]", -5, 3, 300));
  EXPECT_TRUE(matches_printf("%f|%f|%f|%lf", 0.1, -2.5, 1e300, -0.0));
  EXPECT_TRUE(matches_printf("%f|%f|%f|%F|%F", nan, inf, -inf, nan, -inf));
  EXPECT_TRUE(matches_printf("%e|%E|%g|%G|%a|%A", 1e-300, 12345.678, 0.0001, 1e20, 1.0, -0.5));
  EXPECT_TRUE(matches_printf("%Lf|%Le|%.3f|%10.2e|%-12g|", 1e4000L, 2.5L, 2.0 / 3, 1e5, 7.0));
  EXPECT_TRUE(matches_printf("%s|%.2s|%10s|%-10s|%c|%lc|%3c", "abc", "abc", "abc", "abc", 'x',
                             wint_t{L'y'}, 'z'));
  EXPECT_TRUE(matches_printf("%ls|%.1ls|%5ls|%-5ls|", L"wide", L"wide", L"ab", L"ab"));
  EXPECT_TRUE(matches_printf("%s|%.3s|%10s|%ls|%.2ls", null_text, null_text, null_text,
                             null_wide, null_wide));
  EXPECT_TRUE(matches_printf("%p|%p|%20p|%-8p|", static_cast<void*>(&object), null_pointer,
                             static_cast<void*>(&object), null_pointer));
  EXPECT_TRUE(matches_printf("100%% sure, %%%d%%%%", 5));
  EXPECT_TRUE(matches_printf("%s", ""));
  EXPECT_TRUE(matches_printf("only literal text"));
}

// ISO C lacks %m and the ' flag, so the format checker must look away;
// glibc supports both and so must the builder.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
TEST(TextBuild, GlibcExtensionsRenderLikePrintf) {
  EXPECT_TRUE(matches_printf("%'d|%'.2f", 1234567, 1234.5));
  errno = ENOENT;
  EXPECT_TRUE(matches_printf("%m|%-40m|%.4m|%#m"));
}
#pragma GCC diagnostic pop

TEST(TextBuild, ConversionsStayTypedOnlyWhenTheirRenderingIsPrintfs) {
  int object = 0;
  OwnedMsg msg;
  ASSERT_EQ(build_text(msg.get(), "a%%b%dc%u%f%s%ls%lc%p%x%5d%lf%Lf%F%c%{oserr}%{time}%ls%p", -1,
                       2u, 0.5, "s", L"w", wint_t{L'c'}, static_cast<void*>(&object), 3u, 4, 5.0,
                       6.0L, 7.0, 'c', 13, int64_t{99}, nullptr, nullptr),
            XOLT_RIR_OK);
  const std::vector<int32_t> expected = {11, 1, 11, 2, 3,  11, 5, 0, 4, 11,
                                         11, 3, 11, 11, 11, 6, 8, 11, 11};
  std::vector<int32_t> types;
  for (const XoltRirArgNode* node : nodes_of(*msg)) {
    types.push_back(node->type);
  }
  EXPECT_EQ(types, expected);
  EXPECT_STREQ(nodes_of(*msg)[0]->value.first.string, "a%b") << "one node per literal run";
}

TEST(TextBuild, UnrepresentableArgumentFailsCleanly) {
  // The C locale has no byte for U+00E9, so printf cannot render these.
  OwnedMsg msg;
  errno = 0;
  EXPECT_EQ(build_text(msg.get(), "x%s%5lc", "kept until failure", wint_t{0xE9}), XOLT_RIR_EFAIL);
  EXPECT_TRUE(msg.zeroed());
  EXPECT_EQ(errno, 0) << "printf's EILSEQ must not reach the caller";
  EXPECT_EQ(build_text(msg.get(), "%.3ls", L"\u00e9t\u00e9"), XOLT_RIR_EFAIL);
  EXPECT_TRUE(msg.zeroed());
  EXPECT_EQ(build_text(msg.get(), "%lc", wint_t{0xE9}), XOLT_RIR_OK) << "typed, not rendered";
}

}  // namespace
