#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <tuple>

#include "platform/time_text.h"
#include "support/fake_clock.h"
#include "xoltlog/platform.h"
#include "xoltlog/text.h"

namespace {

constexpr const char* kCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";
constexpr const char* kUsEastern = "EST5EDT";

// Sets TZ for one scope.
class TimeZone {
 public:
  explicit TimeZone(const char* rule) {
    if (const char* saved = std::getenv("TZ")) saved_ = saved;
    setenv("TZ", rule, 1);
    tzset();
  }
  ~TimeZone() {
    if (saved_) {
      setenv("TZ", saved_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::optional<std::string> saved_;
};

int64_t utc(int year, unsigned month, unsigned day, int hour = 0, int minute = 0, int second = 0) {
  using namespace std::chrono;
  const sys_days date{std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day}};
  return date.time_since_epoch().count() * 86400 + hour * 3600 + minute * 60 + second;
}

TEST(TimeZoneText, GmtOffsetsAddOrSubtractMinutesByTheHoursSign) {
  struct Case {
    const char* zone;
    uint32_t result;
    int32_t offset;
  };
  const Case cases[] = {
      {"GMT", XOLTLOG_OK, 0},           {"GMT+5:30", XOLTLOG_OK, 19800},
      {"GMT-8:00", XOLTLOG_OK, -28800}, {"GMT+1", XOLTLOG_OK, 3600},
      {"GMT-0:30", XOLTLOG_OK, -1800},  {"GMT+0:30", XOLTLOG_OK, -1800},
      {"UTC+1", XOLTLOG_E_FAILED, 77},  {"GM", XOLTLOG_E_FAILED, 77},
      {nullptr, XOLTLOG_E_FAILED, 77},
  };
  for (const Case& c : cases) {
    int32_t offset = 77;
    EXPECT_EQ(TimeZoneToOffset(c.zone, &offset), c.result) << (c.zone ? c.zone : "null");
    EXPECT_EQ(offset, c.offset) << (c.zone ? c.zone : "null");
  }
  EXPECT_EQ(TimeZoneToOffset("GMT", nullptr), XOLTLOG_E_FAILED);
}

TEST(LocalOffset, IsUtcMinusLocalTimeAtTheCurrentMoment) {
  struct Case {
    const char* zone;
    int64_t now;
    int32_t offset;
  };
  const Case cases[] = {
      {kCentralEurope, utc(2023, 1, 15, 12), -3600},
      {kCentralEurope, utc(2023, 7, 15, 12), -7200},
      {kUsEastern, utc(2023, 1, 15, 12), 18000},
      {kUsEastern, utc(2023, 7, 15, 12), 14400},
      {"IST-5:30", utc(2023, 7, 15, 12), -19800},
  };
  for (const Case& c : cases) {
    TimeZone zone(c.zone);
    xoltlog::test::FakeClock clock(c.now, 0);
    EXPECT_EQ(getLocalTZOffsetFromGMT(), c.offset) << c.zone << " at " << c.now;
  }
}

// Stamps are standard time even in summer.
TEST(FileStamp, ReadsAsLocalStandardTime) {
  struct Case {
    const char* zone;
    const char* stamp;
    int64_t time;
  };
  const Case cases[] = {
      {kCentralEurope, "230517102030", utc(2023, 5, 17, 9, 20, 30)},
      {kCentralEurope, "230117102030", utc(2023, 1, 17, 9, 20, 30)},
      {kUsEastern, "230517102030", utc(2023, 5, 17, 15, 20, 30)},
      {"UTC0", "991231235959", utc(2099, 12, 31, 23, 59, 59)},
      {"UTC0", "2305171020", -1},
      {"UTC0", nullptr, -1},
  };
  for (const Case& c : cases) {
    TimeZone zone(c.zone);
    EXPECT_EQ(xoltlog::platform::str_stamp_to_time(c.stamp), c.time)
        << c.zone << " " << (c.stamp ? c.stamp : "null");
  }
}

TEST(TimeNumbers, FirstThreeTokensAreReadAsNumbers) {
  struct Case {
    const char* text;
    const char* delimiters;
    uint32_t a, b, c;
  };
  const Case cases[] = {
      {"10:20:30", ":", 10, 20, 30},  {"1::2", ":", 1, 2, 0},       {"", ":", 0, 0, 0},
      {"7,8;9,10", ",;", 7, 8, 9},    {"x:5:12abc", ":", 0, 5, 12}, {":::", ":", 0, 0, 0},
      {"-1", ":", 0xFFFFFFFFu, 0, 0},
  };
  for (const Case& c : cases) {
    uint32_t a = 99, b = 99, c3 = 99;
    EXPECT_EQ(xoltLogStrTimeToT(c.text, c.delimiters, &a, &b, &c3), 1) << c.text;
    EXPECT_EQ(std::tuple(a, b, c3), std::tuple(c.a, c.b, c.c)) << c.text;
  }
}

// Dates come out ready for a broken-down time; null arguments leave the
// outputs alone.
TEST(TimeNumbers, DatesTimesAndNullArguments) {
  uint32_t day = 0, month = 0, year = 0;
  ASSERT_EQ(xoltLogGetDate("2023-05-17", &day, &month, &year), 1);
  EXPECT_EQ(year * 10000 + month * 100 + day, 1230417u);
  uint32_t hour = 0, minute = 0, second = 0;
  ASSERT_EQ(xoltLogGetTime("23:05:09", &hour, &minute, &second), 1);
  EXPECT_EQ(hour * 10000 + minute * 100 + second, 230509u);

  uint32_t a = 99, b = 99, c = 99;
  EXPECT_EQ(xoltLogStrTimeToT(nullptr, ":", &a, &b, &c), 0);
  EXPECT_EQ(xoltLogStrTimeToT("1:2:3", nullptr, &a, &b, &c), 0);
  EXPECT_EQ(xoltLogStrTimeToT("1:2:3", ":", &a, nullptr, &c), 0);
  EXPECT_EQ(xoltLogGetTime("1:2:3", &a, &b, nullptr), 0);
  EXPECT_EQ(xoltLogGetDate(nullptr, &a, &b, &c), 0);
  EXPECT_EQ(a + b + c, 297u);
}

TEST(DateTimeText, DatesAreMidnightAndTimesAreTodayInStandardTime) {
  struct Case {
    int64_t now;
    const char* text;
    int64_t time;
  };
  const int64_t noon = utc(2023, 5, 17, 12);
  // Already the 18th in Central Europe.
  const int64_t late = utc(2023, 5, 17, 23, 30);
  const Case cases[] = {
      {noon, "2023-05-17", utc(2023, 5, 16, 23)},
      {noon, "2023-05-17 10:20:30", utc(2023, 5, 16, 23)},
      {noon, "2023-01-02:10", utc(2023, 1, 1, 23)},
      {noon, "10:20:30", utc(2023, 5, 17, 9, 20, 30)},
      {noon, "10:20", utc(2023, 5, 17, 9, 20)},
      {late, "10:20:30", utc(2023, 5, 18, 9, 20, 30)},
      {noon, "20230517", -1},
      {noon, nullptr, -1},
  };
  TimeZone zone(kCentralEurope);
  for (const Case& c : cases) {
    xoltlog::test::FakeClock clock(c.now, 0);
    EXPECT_EQ(xoltLogStrDateTimeToT(c.text), c.time) << (c.text ? c.text : "null");
  }
}

TEST(Breakdown, UtcAndLocalFieldsOrNothing) {
  TimeZone zone(kCentralEurope);
  const int64_t time = utc(2023, 5, 17, 10, 20, 30);
  std::tm out{};
  ASSERT_EQ(xoltLogOs_gmtime_r(time, &out), &out);
  EXPECT_EQ(out.tm_year * 10000 + out.tm_mon * 100 + out.tm_mday, 1230417);
  EXPECT_EQ(out.tm_hour * 10000 + out.tm_min * 100 + out.tm_sec, 102030);
  EXPECT_EQ(out.tm_isdst, 0);
  ASSERT_EQ(xoltLogOs_localtime_r(time, &out), &out);
  EXPECT_EQ(out.tm_hour, 12);
  EXPECT_EQ(out.tm_isdst, 1);

  EXPECT_EQ(xoltLogOs_gmtime_r(time, nullptr), nullptr);
  EXPECT_EQ(xoltLogOs_localtime_r(time, nullptr), nullptr);
  out.tm_year = 4321;
  EXPECT_EQ(xoltLogOs_gmtime_r(INT64_MAX, &out), nullptr);
  EXPECT_EQ(xoltLogOs_localtime_r(INT64_MAX, &out), nullptr);
  EXPECT_EQ(out.tm_year, 4321);
}

}  // namespace
