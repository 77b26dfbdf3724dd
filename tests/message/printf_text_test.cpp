// A printf-style format rendered by listxt_svnprintf (and by the entry
// points' RenderedText) must read exactly as the rendering it stands for:
// the Rir message of the format (xoltRirTextV) in strncatlis's two passes.
// The shortcuts for plain formats are checked against that reference for
// the formats they take and for those they must leave to it.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "message/text_render.h"
#include "xoltlog/frame.h"
#include "xoltlog/text_render.h"

namespace {

constexpr uint64_t kFailed = UINT64_MAX;

std::optional<std::string> reference(const char* format, va_list args) {
  XoltRirMsg msg{};
  if (xoltRirTextV(&msg, format, args) != XOLT_RIR_OK) return std::nullopt;
  uint64_t size = 0;
  strncatlis(nullptr, &size, &msg);
  std::optional<std::string> text;
  if (size != kFailed && size != 0) {
    std::vector<char> buffer(size, '\0');
    if (strncatlis(buffer.data(), &size, &msg) != nullptr) text = std::string(buffer.data());
  }
  xoltRirFree(&msg);
  return text;
}

struct Renderings {
  std::optional<std::string> expected;
  std::optional<std::string> listxt;
  std::optional<std::string> inline_text;
};

Renderings render_all(const char* format, ...) {
  Renderings out;
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  out.expected = reference(format, copy);
  va_end(copy);
  char* text = nullptr;
  va_copy(copy, args);
  listxt_svnprintf(&text, format, copy);
  va_end(copy);
  if (text != nullptr) out.listxt = text;
  xoltLogFree(text);
  xoltlog::RenderedText rendered;
  rendered.render(format, args);
  if (rendered.get() != nullptr) out.inline_text = rendered.get();
  va_end(args);
  return out;
}

#define EXPECT_SAME_TEXT(...)                             \
  do {                                                    \
    const Renderings r = render_all(__VA_ARGS__);         \
    EXPECT_EQ(r.listxt, r.expected) << #__VA_ARGS__;      \
    EXPECT_EQ(r.inline_text, r.expected) << #__VA_ARGS__; \
  } while (false)

TEST(PrintfText, PlainFormatsReadAsTheirRirRendering) {
  EXPECT_SAME_TEXT("user %s logged in after %d attempts, %u left", "alice", 3, 7u);
  EXPECT_SAME_TEXT("%s", "");
  EXPECT_SAME_TEXT("null %s here", static_cast<const char*>(nullptr));
  EXPECT_SAME_TEXT("100%% of %i", -2147483647 - 1);
  EXPECT_SAME_TEXT("narrowed %hhd %hd %hhu %hu", 300, 70000, 300u, 70000u);
  EXPECT_SAME_TEXT("wide %ld %lld %llu %zu %zd %jd %td", -5L, -9223372036854775807LL - 1,
                   18446744073709551615ULL, static_cast<size_t>(42), static_cast<ssize_t>(-1),
                   static_cast<intmax_t>(-3), static_cast<ptrdiff_t>(9));
  EXPECT_SAME_TEXT("only literal text");
  EXPECT_SAME_TEXT("%%");
}

// Conversions printf spells with flags, widths and precisions, and those
// that only the full rendering takes.
TEST(PrintfText, OtherConversionsReadAsTheirRirRendering) {
  EXPECT_SAME_TEXT("[%5s|%-5d|%05u|%.2s|%+d|%x|%#o|%X]", "ab", 7, 42u, "abcdef", 3, 255u, 8u, 171u);
  EXPECT_SAME_TEXT("%.2f %e %g %10.3f %Lf", 3.14159, 1e-5, 2.5, -1.0, 1.5L);
  EXPECT_SAME_TEXT("big %f", 1e20);  // cut to the room the sizing pass gives a double
  EXPECT_SAME_TEXT("%lf", 12345678901234.5);
  EXPECT_SAME_TEXT("char %c and %c", 'x', 0);
  EXPECT_SAME_TEXT("%ls and %p", L"wide", static_cast<void*>(nullptr));
  EXPECT_SAME_TEXT("%*d", 4, 1);
  EXPECT_SAME_TEXT("%{utf8} %{oserr}", "u8", 5);
}

// Integers alone get estimates without room for a terminator: a longest
// value comes out one digit short, as it always has.
TEST(PrintfText, IntegerOnlyFormatsKeepTheirEstimates) {
  EXPECT_SAME_TEXT("%lld", -9223372036854775807LL - 1);
  EXPECT_SAME_TEXT("%llu%d", 18446744073709551615ULL, 1);
  EXPECT_SAME_TEXT("%d", 5);
}

TEST(PrintfText, RefusedAndEmptyFormatsGiveNoText) {
  EXPECT_SAME_TEXT("");
  EXPECT_SAME_TEXT("%n", static_cast<int*>(nullptr));
  EXPECT_SAME_TEXT("trailing %");
  EXPECT_SAME_TEXT("%1$d", 1);
  EXPECT_SAME_TEXT("%hs", "x");
  EXPECT_SAME_TEXT("%99999999999d", 1);
}

// Texts longer than the inline room of either shortcut.
TEST(PrintfText, LongTextsAreWhole) {
  const std::string long_text(3000, 'q');
  EXPECT_SAME_TEXT("<%s>", long_text.c_str());
  EXPECT_SAME_TEXT("<%5s>", long_text.c_str());
  EXPECT_SAME_TEXT("<%s> %d", std::string(300, 'r').c_str(), 1);
}

}  // namespace
