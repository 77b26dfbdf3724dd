#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>

#include "platform/code_page.h"
#include "platform/text_convert.h"
#include "xoltlog/frame.h"
#include "xoltlog/text.h"

namespace {

using namespace std::string_view_literals;

// One-, two-, three- and four-byte characters.
const char kUtf8[] =
    "Gr\xC3\xBC\xC3\x9F"
    "e \xE2\x82\xAC \xE6\x97\xA5 \xF0\x9F\x98\x80";
const wchar_t kWide[] = L"Gr\u00FC\u00DFe \u20AC \u65E5 \U0001F600";

// Sets LC_CTYPE for one scope.
struct CtypeLocale {
  explicit CtypeLocale(const char* name) { EXPECT_NE(std::setlocale(LC_CTYPE, name), nullptr); }
  ~CtypeLocale() { std::setlocale(LC_CTYPE, saved_.c_str()); }
  std::string saved_ = std::setlocale(LC_CTYPE, nullptr);
};

// Stands for whatever the caller's out variable held before the call.
template <typename T>
T* stale() {
  static T marker{};
  return &marker;
}

// All four conversions share one argument check, which leaves out alone.
TEST(TextConvert, WideAndUtf8RoundTripAndNullArgumentsGiveThree) {
  for (const wchar_t* text : {kWide, L""}) {
    char* utf8 = stale<char>();
    ASSERT_EQ(wcs2utf8(&utf8, text), XOLTLOG_OK);
    wchar_t* wide = stale<wchar_t>();
    ASSERT_EQ(utf82wcs(&wide, utf8, -1), XOLTLOG_OK);
    EXPECT_STREQ(utf8, *text == 0 ? "" : kUtf8);
    EXPECT_STREQ(wide, text);
    xoltLogFree(utf8);
    xoltLogFree(wide);
  }
  char* narrow = stale<char>();
  EXPECT_EQ(mbs2utf8(&narrow, nullptr), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(narrow, stale<char>());
  EXPECT_EQ(utf82wcs(nullptr, "a", -1), XOLTLOG_E_INVALID_ARG);
}

// A length limits UTF-8 input and stops at a NUL, so one longer than the
// text reads nothing beyond it; a cut character fails with 1, a negative
// length other than -1 is an invalid argument. Wide values that are no
// characters fail and leave nothing behind.
TEST(TextConvert, Utf8LengthLimitsTheInputAndNonCharactersFail) {
  for (const auto& [text, length, expected, result] :
       {std::tuple<const char*, int32_t, const wchar_t*, uint32_t>{"abcdef", 3, L"abc", 0},
        {"abcdef", 0, L"", 0}, {"ab\0cd", 5, L"ab", 0}, {"ab\0\xFF", 4, L"ab", 0},
        {"abc", INT32_MAX, L"abc", 0}, {"\xC3\xA9x", 1, nullptr, XOLTLOG_E_FAILED},
        {"abc", -2, nullptr, XOLTLOG_E_INVALID_ARG}, {"abc", -5, nullptr, XOLTLOG_E_INVALID_ARG},
        {"abc", INT32_MIN, nullptr, XOLTLOG_E_INVALID_ARG}}) {
    wchar_t* wide = stale<wchar_t>();
    EXPECT_EQ(utf82wcs(&wide, text, length), result) << text << " " << length;
    EXPECT_STREQ(wide, expected);
    xoltLogFree(wide);
  }
  for (int bad : {0xD800, 0xDFFF, 0x110000, -1}) {
    const wchar_t text[] = {L'a', static_cast<wchar_t>(bad), L'b', 0};
    char* utf8 = stale<char>();
    EXPECT_EQ(wcs2utf8(&utf8, text), XOLTLOG_E_FAILED) << bad;
    EXPECT_EQ(utf8, nullptr);
  }
}

// In the C locale, as in a UTF-8 one, code-page text is UTF-8: it passes
// through unchanged where the C library would refuse bytes above 0x7F, and
// ill-formed text fails with each conversion's own result. The locale's own
// multibyte conversion, which other code sets take, follows the locale.
TEST(TextConvert, CodePageTextIsUtf8InTheCAndUtf8Locales) {
  for (const char* locale : {"C", "C.UTF-8"}) {
    CtypeLocale scope(locale);
    EXPECT_TRUE(xoltlog::platform::code_page_is_utf8()) << locale;
    char* utf8 = stale<char>();
    char* code_page = stale<char>();
    ASSERT_EQ(mbs2utf8(&utf8, kUtf8), XOLTLOG_OK) << locale;
    ASSERT_EQ(utf82mbs(&code_page, kUtf8), XOLTLOG_OK) << locale;
    EXPECT_STREQ(utf8, kUtf8);
    EXPECT_STREQ(code_page, kUtf8);
    xoltLogFree(utf8);
    xoltLogFree(code_page);
    EXPECT_EQ(utf82mbs(&code_page, "ok \xC0\xAF"), XOLTLOG_E_INVALID_ARG) << locale;
    EXPECT_EQ(mbs2utf8(&utf8, "ok \xC0\xAF"), XOLTLOG_E_FAILED) << locale;
    EXPECT_EQ(utf8, nullptr);

    const bool utf8_locale = std::string_view(locale) == "C.UTF-8";
    xoltlog::BlockPtr<char> converted;
    EXPECT_EQ(xoltlog::platform::locale_multibyte_to_utf8(converted, kUtf8),
              utf8_locale ? XOLTLOG_OK : XOLTLOG_E_FAILED)
        << locale;
    EXPECT_STREQ(converted.get(), utf8_locale ? kUtf8 : nullptr);
  }
}

// What the charset cannot map becomes SUB; ill-formed input gives 3.
TEST(TextConvert, Utf8ToANamedCharsetSubstitutesWhatItCannotMap) {
  for (const auto& [charset, text, expected] :
       {std::tuple<const char*, const char*, const char*>{"ISO-8859-1", "caf\xC3\xA9", "caf\xE9"},
        {"ISO-8859-1", "5 \xE2\x82\xAC", "5 \x1A"}, {"US-ASCII", "", ""},
        {"ISO-8859-1", "\xC3", nullptr}}) {
    xoltlog::BlockPtr<char> out;
    EXPECT_EQ(xoltlog::platform::utf8_to_charset(out, text, charset),
              expected ? XOLTLOG_OK : XOLTLOG_E_INVALID_ARG)
        << charset << " " << text;
    EXPECT_STREQ(out.get(), expected);
  }
}

struct Utf8Case {
  std::string_view bytes;
  bool well_formed;
};

const Utf8Case kUtf8Cases[] = {
    {""sv, true},
    {"\xC2\x80 \xDF\xBF \xE0\xA0\x80 \xED\x9F\xBF \xEE\x80\x80 \xEF\xBF\xBF"sv, true},
    {"\xF0\x90\x80\x80 \xF3\xBF\xBF\xBF \xF4\x8F\xBF\xBF nul \0 inside"sv, true},
    {"\x80"sv, false},      // continuation without lead
    {"\xC0\xAF"sv, false},  // overlong forms
    {"\xC1\xBF"sv, false},
    {"\xE0\x9F\xBF"sv, false},
    {"\xF0\x8F\xBF\xBF"sv, false},
    {"\xED\xA0\x80"sv, false},  // surrogates
    {"\xED\xBF\xBF"sv, false},
    {"\xF4\x90\x80\x80"sv, false},  // above U+10FFFF
    {"\xF5\x80\x80\x80"sv, false},
    {"\xFF"sv, false},
    {"\xE2\x82"sv, false},  // truncated
    {"\xE2\x82x"sv, false},
    {"\xF0\x9F\x98"sv, false},
    {"\xC3\xA9\xC3"sv, false},
};

// Each case alone, and after or before enough ASCII to be reached a word at
// a time; ICU must agree, as the serializer copies what the check passes.
TEST(Utf8Check, FollowsRfc3629AnywhereAndAgreesWithIcu) {
  for (const Utf8Case& c : kUtf8Cases) {
    const std::string bytes(c.bytes);
    for (const std::string& text : {bytes, "abcdefghij" + bytes, bytes + "abcdefghij"}) {
      EXPECT_EQ(xoltlog::platform::is_well_formed_utf8(text), c.well_formed) << text;
    }
    wchar_t* wide = nullptr;
    EXPECT_EQ(utf82wcs(&wide, bytes.data(), static_cast<int32_t>(bytes.size())) == XOLTLOG_OK,
              c.well_formed)
        << bytes;
    xoltLogFree(wide);
  }
}

// Every length up to a few blocks, with one byte that is not plain ASCII
// (a line feed, a high byte) at every position: the scan reads words and
// overlapping blocks, and a byte in any of them must count.
TEST(Utf8Check, SingleLineAsciiSeesEveryLineFeedAndHighByte) {
  for (std::size_t size = 0; size <= 50; ++size) {
    std::string text(size, 'a');
    EXPECT_TRUE(xoltlog::platform::is_single_line_ascii(text)) << size;
    for (std::size_t at = 0; at < size; ++at) {
      for (const char odd : {'\n', '\x80', '\xFF'}) {
        text[at] = odd;
        EXPECT_FALSE(xoltlog::platform::is_single_line_ascii(text)) << size << " " << at;
        text[at] = 'a';
      }
      text[at] = '\x7F';  // DEL and carriage return are ordinary ASCII
      text[size - 1 - at] = '\r';
      EXPECT_TRUE(xoltlog::platform::is_single_line_ascii(text)) << size << " " << at;
      text.assign(size, 'a');
    }
  }
}

TEST(TextSmallTests, AbsolutePathsOriginatorsAndLogsets) {
  EXPECT_EQ(isAbsolutePath("/var/log"), 0);
  EXPECT_EQ(isAbsolutePath("var/log") + isAbsolutePath("") + isAbsolutePath(nullptr), -3);
  EXPECT_EQ(std::tuple(isOrigIdValid(0), isOrigIdValid(112), isLogSetValid(nullptr)),
            std::tuple(0, 1, 0));
}

}  // namespace
