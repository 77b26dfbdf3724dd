#include "writer/file_names.h"

#include "writer/writer_fixture.h"

namespace {

using xoltlog::FileDate;
using xoltlog::test::local_tm;

// Typical names are checked through the writer; these are the widest fields.
TEST(FileNames, OrdinaryNamesCarryFullWidthFields) {
  const FileDate date = xoltlog::file_date_of(local_tm(2026, 3, 14));
  EXPECT_EQ(xoltlog::ordinary_log_name("", 4294967295u, 1, 0, date, 4294967295u).value(),
            "4294967295-1-0-260314-4294967295.log");
}

TEST(FileNames, DayCounterCountsWithinADayAndRestartsOnTheNext) {
  FileDate current = xoltlog::file_date_of(local_tm(2026, 3, 14, 23, 59, 0));
  std::uint32_t counter = 4;
  xoltlog::advance_day_counter(current, counter, local_tm(2026, 3, 14, 23, 59, 59));
  EXPECT_EQ(counter, 5u);
  xoltlog::advance_day_counter(current, counter, local_tm(2026, 3, 15, 0, 1, 0));
  EXPECT_EQ(counter, 0u);
  EXPECT_EQ(current.day, 15);
  // Another month or year with the same day of the month is another day.
  xoltlog::advance_day_counter(current, counter, local_tm(2026, 4, 15));
  xoltlog::advance_day_counter(current, counter, local_tm(2027, 4, 15));
  EXPECT_EQ(counter, 0u);
  EXPECT_EQ(current.year, 27);
}

TEST(FileNames, ResumeReadsDateAndCounterBack) {
  const auto resumed = xoltlog::parse_ordinary_for_resume("12-100-50462986-260314-0000000009.log");
  ASSERT_TRUE(resumed.has_value());
  EXPECT_EQ(resumed->year * 10000 + resumed->month * 100 + resumed->day, 260314);
  EXPECT_EQ(resumed->counter, 9u);
  for (const char* name : {"12-100-50462986-2603x4-0000000009.log",  // non-digit in the date
                           "12-100-50462986-260314.log",             // no counter
                           "12-100-50462986-260314-x.log",           // counter not a number
                           "12-100-50462986-260314-9999999999.log",  // counter beyond 32 bits
                           "12-100-260314-0000000009.log",           // a field short
                           ""}) {
    EXPECT_FALSE(xoltlog::parse_ordinary_for_resume(name).has_value()) << name;
  }
}

}  // namespace
