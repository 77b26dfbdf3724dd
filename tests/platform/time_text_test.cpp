#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <string>
#include <tuple>

#include "platform/time_text.h"
#include "support/fake_clock.h"
#include "support/time_zone.h"
#include "xoltlog/platform.h"
#include "xoltlog/text.h"

namespace {

using xoltlog::test::kCentralEurope;
using TimeZone = xoltlog::test::ScopedTimeZone;

int64_t utc(int year, unsigned month, unsigned day, int hour = 0, int minute = 0, int second = 0) {
  using namespace std::chrono;
  const sys_days date{std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day}};
  return date.time_since_epoch().count() * 86400 + hour * 3600 + minute * 60 + second;
}

// A zero hour takes its minutes as negative, whatever its sign; offsets
// beyond the zones that exist, and fields too large to read, are refused and
// leave the offset alone.
TEST(TimeZoneText, GmtOffsetsAddOrSubtractMinutesByTheHoursSign) {
  for (const auto& [zone, result, expected] :
       {std::tuple{"GMT", XOLTLOG_OK, 0}, {"GMT+5:30", XOLTLOG_OK, 19800},
        {"GMT-8:00", XOLTLOG_OK, -28800}, {"GMT+0:30", XOLTLOG_OK, -1800},
        {"UTC+1", XOLTLOG_E_FAILED, 77}, {"GMT+14:00", XOLTLOG_OK, 50400},
        {"GMT-12:00", XOLTLOG_OK, -43200}, {"GMT+14:01", XOLTLOG_E_FAILED, 77},
        {"GMT-12:01", XOLTLOG_E_FAILED, 77}, {"GMT+600000", XOLTLOG_E_FAILED, 77},
        {"GMT-600000", XOLTLOG_E_FAILED, 77}, {"GMT+99999999999999999999", XOLTLOG_E_FAILED, 77},
        {"GMT+1:99999999999999999999", XOLTLOG_E_FAILED, 77},
        {"GMT+1:-99999999999999999999", XOLTLOG_E_FAILED, 77},
        {"GMT+5:60", XOLTLOG_E_FAILED, 77}, {"GMT+5:-30", XOLTLOG_E_FAILED, 77},
        {"GMT+5:", XOLTLOG_OK, 18000}, {"GMTx", XOLTLOG_OK, 0}}) {
    int32_t offset = 77;
    EXPECT_EQ(TimeZoneToOffset(zone, &offset), result) << zone;
    EXPECT_EQ(offset, expected) << zone;
  }
  EXPECT_EQ(TimeZoneToOffset("GMT", nullptr), XOLTLOG_E_FAILED);
}

TEST(LocalOffset, IsUtcMinusLocalTimeAtTheCurrentMoment) {
  for (const auto& [rule, now, offset] :
       {std::tuple{kCentralEurope, utc(2023, 1, 15, 12), -3600},
        {kCentralEurope, utc(2023, 7, 15, 12), -7200}, {"EST5EDT", utc(2023, 7, 15, 12), 14400}}) {
    TimeZone zone(rule);
    xoltlog::test::FakeClock clock(now, 0);
    EXPECT_EQ(getLocalTZOffsetFromGMT(), offset) << rule << " at " << now;
  }
}

// Empty tokens are skipped, numbers read as atoi reads them, a date comes
// out ready for a broken-down time, and refused calls leave outputs alone.
TEST(TimeNumbers, FirstThreeTokensDatesAndTimes) {
  for (const auto& [text, delimiters, numbers] :
       {std::tuple{"1::2", ":", std::tuple{1u, 2u, 0u}}, {"", ":", std::tuple{0u, 0u, 0u}},
        {"7,8;9,10", ",;", std::tuple{7u, 8u, 9u}}, {"x:5:12abc", ":", std::tuple{0u, 5u, 12u}},
        {"-1", ":", std::tuple{0xFFFFFFFFu, 0u, 0u}}}) {
    uint32_t a = 99, b = 99, c = 99;
    EXPECT_EQ(xoltLogStrTimeToT(text, delimiters, &a, &b, &c), 1) << text;
    EXPECT_EQ(std::tuple(a, b, c), numbers) << text;
  }
  uint32_t day = 0, month = 0, year = 0;
  ASSERT_EQ(xoltLogGetDate("2023-05-17", &day, &month, &year), 1);
  EXPECT_EQ(std::tuple(year, month, day), std::tuple(123u, 4u, 17u));
  uint32_t hour = 0, minute = 0, second = 0;
  ASSERT_EQ(xoltLogGetTime("23:05:09", &hour, &minute, &second), 1);
  EXPECT_EQ(std::tuple(hour, minute, second), std::tuple(23u, 5u, 9u));
  EXPECT_EQ(xoltLogStrTimeToT("1:2:3", ":", &hour, nullptr, &second), 0);
  EXPECT_EQ(xoltLogGetDate(nullptr, &day, &month, &year), 0);
  EXPECT_EQ(std::tuple(hour, second, day), std::tuple(23u, 9u, 17u));
}

// File name stamps and users' date and time texts are both read as local
// standard time, even in summer; a time alone is today's, a date midnight.
TEST(DateTimeText, StampsDatesAndTimesAreLocalStandardTime) {
  const int64_t noon = utc(2023, 5, 17, 12);
  const int64_t late = utc(2023, 5, 17, 23, 30);  // already the 18th there
  const auto stamp = [](const char* text) { return xoltlog::platform::str_stamp_to_time(text); };
  const auto date_time = [](const char* text) { return xoltLogStrDateTimeToT(text); };
  const std::tuple<int64_t, int64_t (*)(const char*), const char*, int64_t> cases[] = {
      {noon, stamp, "230517102030", utc(2023, 5, 17, 9, 20, 30)},
      {noon, stamp, "991231235959", utc(2099, 12, 31, 22, 59, 59)},
      {noon, stamp, "2305171020", -1},
      {noon, date_time, "2023-05-17", utc(2023, 5, 16, 23)},
      {noon, date_time, "2023-05-17 10:20:30", utc(2023, 5, 16, 23)},
      {noon, date_time, "10:20", utc(2023, 5, 17, 9, 20)},
      {late, date_time, "10:20:30", utc(2023, 5, 18, 9, 20, 30)},
      {noon, date_time, "20230517", -1},
      {noon, date_time, nullptr, -1},
  };
  TimeZone zone(kCentralEurope);
  for (const auto& [now, convert, text, time] : cases) {
    xoltlog::test::FakeClock clock(now, 0);
    EXPECT_EQ(convert(text), time) << (text ? text : "null");
  }
}

// A time beyond what a broken-down time holds leaves the output alone.
TEST(Breakdown, UtcAndLocalFieldsOrNothing) {
  TimeZone zone(kCentralEurope);
  const int64_t time = utc(2023, 5, 17, 10, 20, 30);
  std::tm out{};
  ASSERT_EQ(xoltLogOs_gmtime_r(time, &out), &out);
  EXPECT_EQ(std::tuple(out.tm_year, out.tm_mon, out.tm_mday, out.tm_hour, out.tm_min, out.tm_sec,
                       out.tm_isdst),
            std::tuple(123, 4, 17, 10, 20, 30, 0));
  ASSERT_EQ(xoltLogOs_localtime_r(time, &out), &out);
  EXPECT_EQ(std::tuple(out.tm_hour, out.tm_isdst), std::tuple(12, 1));
  EXPECT_EQ(xoltLogOs_localtime_r(time, nullptr), nullptr);
  out.tm_year = 4321;
  EXPECT_EQ(xoltLogOs_gmtime_r(INT64_MAX, &out), nullptr);
  EXPECT_EQ(xoltLogOs_localtime_r(INT64_MAX, &out), nullptr);
  EXPECT_EQ(out.tm_year, 4321);
}

}  // namespace
