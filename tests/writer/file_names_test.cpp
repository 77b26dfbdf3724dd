#include <gtest/gtest.h>

#include <ctime>

#include "writer/file_names.h"

namespace {

using xoltlog::FileDate;

std::tm local_tm(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

TEST(FileNames, OrdinaryAndLogsetNamesCarryTheirFields) {
  const FileDate date = xoltlog::file_date_of(local_tm(2026, 3, 14));
  EXPECT_EQ(xoltlog::ordinary_log_name("/var/log/x/", 12, 100, 50462986, date, 2).value(),
            "/var/log/x/12-100-50462986-260314-0000000002.log");
  EXPECT_EQ(xoltlog::ordinary_log_name("", 4294967295u, 1, 0, date, 4294967295u).value(),
            "4294967295-1-0-260314-4294967295.log");
  EXPECT_EQ(xoltlog::logset_log_name("/l/", 12, "backup", local_tm(2026, 3, 14, 9, 30, 5)).value(),
            "/l/12-backup-260314093005.log");
}

TEST(FileNames, DayCounterCountsWithinADayAndRestartsOnTheNext) {
  FileDate current = xoltlog::file_date_of(local_tm(2026, 3, 14, 23, 59, 0));
  std::uint32_t counter = 4;
  xoltlog::advance_day_counter(current, counter, local_tm(2026, 3, 14, 23, 59, 59));
  EXPECT_EQ(counter, 5u);
  EXPECT_EQ(current.minute, 59);  // the same day keeps the stored date
  xoltlog::advance_day_counter(current, counter, local_tm(2026, 3, 15, 0, 1, 0));
  EXPECT_EQ(counter, 0u);
  EXPECT_EQ(current.day, 15);
  EXPECT_EQ(current.minute, 1);
  // Another month or year with the same day of the month is another day.
  xoltlog::advance_day_counter(current, counter, local_tm(2026, 4, 15));
  xoltlog::advance_day_counter(current, counter, local_tm(2027, 4, 15));
  EXPECT_EQ(counter, 0u);
  EXPECT_EQ(current.year, 27);
}

TEST(FileNames, ResumeReadsDateAndCounterBack) {
  const auto resumed =
      xoltlog::parse_ordinary_for_resume("12-100-50462986-260314-0000000009.log");
  ASSERT_TRUE(resumed.has_value());
  EXPECT_EQ(resumed->year, 26);
  EXPECT_EQ(resumed->month, 3);
  EXPECT_EQ(resumed->day, 14);
  EXPECT_EQ(resumed->counter, 9u);

  const char* const not_resumable[] = {
      "12-100-50462986-2603x4-0000000009.log",  // non-digit in the date
      "12-100-50462986-260314.log",             // no counter
      "12-100-50462986-260314-x.log",           // counter not a number
      "12-100-50462986-260314-9999999999.log",  // counter beyond 32 bits
      "12-100-260314-0000000009.log",           // a field short
      "",
  };
  for (const char* name : not_resumable) {
    EXPECT_FALSE(xoltlog::parse_ordinary_for_resume(name).has_value()) << name;
  }
}

}  // namespace
