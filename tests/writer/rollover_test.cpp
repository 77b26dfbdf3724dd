// When the writer leaves a file for a new one: size, time of day, period,
// a foreign header version, and the reopen every ten minutes of messages.
#include "support/child_process.h"
#include "writer/rollover_time.h"
#include "writer/writer_fixture.h"

namespace xoltlog::test {
namespace {

// While it lives, local time is UTC.
struct Utc : ScopedTimeZone {
  Utc() : ScopedTimeZone("UTC0") {}
};

class Rollover : public WriterTest {
 protected:
  // Writes a record at a local time; the number of files then.
  std::size_t files_after_write_at(XoltLogHandle& handle, std::int64_t time) {
    FakeClock::set(time, 0);
    EXPECT_EQ(write(handle, "x"), XOLTLOG_OK);
    return files().size();
  }
};

TEST_F(Rollover, SizeRolloverPutsTheRecordIntoTheNewFile) {
  XoltLogCfg cfg = config(5, 7, XOLTLOG_ROLLOVER_FILE_SIZE);
  cfg.max_file_size_kb = 1;
  XoltLogHandle& handle = open(cfg);
  const std::string first = files().at(0);
  ASSERT_EQ(write(handle, "a"), XOLTLOG_OK);
  const std::size_t after_one = content(first).size();
  const std::size_t one_char_line = after_one - lines(first).at(0).size() - 1;
  // A text of n (three-digit) characters makes a line of one_char_line +
  // n + 1 bytes; fill the file to exactly 1023 bytes.
  const std::size_t n = 1023 - after_one - one_char_line - 1;
  ASSERT_EQ(write(handle, std::string(n, 'x')), XOLTLOG_OK);
  ASSERT_EQ(content(first).size(), 1023u);
  ASSERT_EQ(files().size(), 1u);
  ASSERT_EQ(write(handle, "b"), XOLTLOG_OK);
  ASSERT_EQ(files().size(), 2u);
  EXPECT_EQ(content(first).size(), 1023u);
  EXPECT_NE(content(files().at(1)).find("1:b"), std::string::npos);

  // An invalid mode is dropped, its size bit too.
  XoltLogCfg invalid = config(6, 7, 7);
  invalid.max_file_size_kb = 1;
  XoltLogHandle& never = open(invalid);
  ASSERT_EQ(write(never, std::string(1100, 'x')), XOLTLOG_OK);
  EXPECT_EQ(files().size(), 3u);
  // Every file start of the process uses the host number looked up once.
  EXPECT_EQ(FixedHost::lookups, 1);
  // An old number is renewed by the next open, before it takes the library
  // lock, never by a rollover under it.
  FakeClock::set(local_time(2026, 3, 14, 11, 0), 0);
  ASSERT_EQ(write(handle, std::string(1100, 'y')), XOLTLOG_OK);
  EXPECT_EQ(files().size(), 4u);
  EXPECT_EQ(FixedHost::lookups, 1);
  open(config(5, 8));
  EXPECT_EQ(FixedHost::lookups, 2);
}

TEST_F(Rollover, TimeRolloverAtMidnightAtASetHourAndAfterThePeriod) {
  XoltLogHandle& handle = open(config(5, 7, XOLTLOG_ROLLOVER_LOCAL_TIME));  // started 10:00
  EXPECT_EQ(files_after_write_at(handle, local_time(2026, 3, 14, 23, 59)), 1u);
  EXPECT_EQ(files_after_write_at(handle, local_time(2026, 3, 15, 0, 1)), 2u);
  close(handle);

  // A file started at 23:59 and written at 00:01 rolls over then.
  FakeClock::set(local_time(2026, 3, 15, 23, 59), 0);
  XoltLogHandle& late = open(config(6, 7, XOLTLOG_ROLLOVER_LOCAL_TIME));
  EXPECT_EQ(files_after_write_at(late, local_time(2026, 3, 16, 0, 1)), 4u);

  XoltLogCfg six_cfg = config(7, 7, XOLTLOG_ROLLOVER_LOCAL_TIME);
  six_cfg.rollover_time = 6 * 3600;
  FakeClock::set(local_time(2026, 3, 16, 5, 0), 0);
  XoltLogHandle& six = open(six_cfg);
  EXPECT_EQ(files_after_write_at(six, local_time(2026, 3, 16, 5, 59, 59)), 5u);
  EXPECT_EQ(files_after_write_at(six, local_time(2026, 3, 16, 6, 0)), 6u);

  // A period rule (12 hours by default) counts from the file's start.
  FakeClock::set(local_time(2026, 3, 16, 10, 0), 0);
  XoltLogHandle& periodic = open(config(8, 7, XOLTLOG_ROLLOVER_PERIODIC));
  EXPECT_EQ(files_after_write_at(periodic, local_time(2026, 3, 16, 21, 59, 59)), 7u);
  EXPECT_EQ(files_after_write_at(periodic, local_time(2026, 3, 16, 22, 0)), 8u);
}

// The writer tests see the usual cases; these are those of resumed files.
TEST(RolloverTime, TimesPassedSinceTheStartAreDueAtOnce) {
  const Utc zone;
  const std::int64_t h = 3600, day = 86400;
  const struct { std::uint32_t mode; std::int64_t start, now; std::optional<std::int64_t> due; }
      cases[] = {
          {2, 5 * h, 7 * h, 7 * h},                         // 06:00 passed since a 05:00 start
          {2, 10 * h, 10 * h + day + 5, 10 * h + day + 5},  // a file older than a day
          {6, 10 * h, 10 * h, day + 6 * h},                 // the time of day wins
          {1, 10 * h, 10 * h, std::nullopt},
      };
  for (const auto& c : cases) {
    EXPECT_EQ(next_rollover_time(c.mode, c.start, 6 * h, 43200, c.now), c.due) << c.mode;
  }
}

// Settings the setters refuse can still reach the record (the store, or
// direct assignment); each has a meaning, and none overflows.
TEST(RolloverTime, OutOfRangeSettingsHaveAMeaning) {
  constexpr std::int64_t kMax = INT64_MAX;
  const struct { std::int64_t configured, time_of_day; } times[] = {
      {-86400, 0}, {-3600, 82800}, {86400, 0}, {90000, 3600}, {7730941132800, 28800},
      {INT64_MIN, 30592}, {kMax, 55807},
  };
  for (const auto& t : times) {
    EXPECT_EQ(rollover_time_of_day(t.configured), t.time_of_day) << t.configured;
  }
  const struct { std::uint64_t configured; std::optional<std::int64_t> period; } periods[] = {
      {0, std::nullopt}, {1, 1}, {43200, 43200}, {kMaxRolloverPeriod + 1, 3155760000},
      {UINT64_MAX, 3155760000},
  };
  for (const auto& p : periods) {
    EXPECT_EQ(rollover_period(p.configured), p.period) << p.configured;
  }
  const Utc zone;
  const std::int64_t ten = 10 * 3600;
  const struct { std::uint32_t mode; std::int64_t start, time_of_day; std::uint64_t period;
                 std::optional<std::int64_t> due; } cases[] = {
      {4, ten, 0, UINT64_MAX, ten + 3155760000},
      {4, kMax - 10, 0, 43200, kMax},  // no overflow past the end of time
      {4, ten, 0, 0, std::nullopt},
      {2, ten, -86400, 43200, 86400},                   // the next midnight
      {2, ten, 7730941132800, 43200, 86400 + 8 * 3600},  // 08:00 tomorrow
      {2, ten, INT64_MIN, 43200, 86400 + 30540},         // 08:29 tomorrow
  };
  for (const auto& c : cases) {
    EXPECT_EQ(next_rollover_time(c.mode, c.start, c.time_of_day, c.period, ten), c.due)
        << c.mode << " " << c.time_of_day << " " << c.period;
  }
}

// Out-of-range settings give one file for ten records, not one per check.
TEST_F(Rollover, OutOfRangeTimeSettingsStartNoFileOfTheirOwn) {
  const struct { std::uint32_t mode; std::int64_t time_of_day; std::uint64_t period; } settings[] = {
      {XOLTLOG_ROLLOVER_PERIODIC, 0, UINT64_MAX},
      {XOLTLOG_ROLLOVER_PERIODIC, 0, 0},
      {XOLTLOG_ROLLOVER_LOCAL_TIME, -86400, 43200},
      {XOLTLOG_ROLLOVER_LOCAL_TIME, 7730941132800, 43200},
      {XOLTLOG_ROLLOVER_LOCAL_TIME | XOLTLOG_ROLLOVER_FILE_SIZE, INT64_MIN, 43200},
  };
  std::uint32_t product = 20;
  for (const auto& s : settings) {
    FakeClock::set(local_time(2026, 3, 14, 10, 0), 0);
    XoltLogCfg cfg = config(++product, 7, s.mode);
    cfg.rollover_time = s.time_of_day;
    cfg.rollover_period = s.period;
    XoltLogHandle& handle = open(cfg);
    for (int minute = 0; minute < 10; ++minute) {
      FakeClock::set(local_time(2026, 3, 14, 10, minute), 0);
      ASSERT_EQ(write(handle, "x"), XOLTLOG_OK);
    }
    const auto names = files();
    EXPECT_EQ(std::ranges::count_if(
                  names, [&](const auto& name) { return name.starts_with(std::to_string(product) + "-"); }),
              1)
        << s.mode << " " << s.time_of_day << " " << s.period;
  }
}

// A time rollover into a file that exists already, started long ago, is due
// again at once; it still moves on by one file per record.
TEST_F(Rollover, ATimeRuleStartsAtMostOneFilePerRecord) {
  XoltLogCfg cfg = config(5, 7, XOLTLOG_ROLLOVER_PERIODIC);
  cfg.rollover_period = 60;
  XoltLogHandle& handle = open(cfg);
  for (unsigned counter = 1; counter <= 5; ++counter) {
    create_file(ordinary_name(5, 7, "260314", counter), "$Header 65543,5,7,1741946400,-3600,alpha\n");
  }
  FakeClock::set(local_time(2026, 3, 14, 10, 2), 0);
  for (unsigned counter = 1; counter <= 3; ++counter) {
    ASSERT_EQ(write(handle, "record " + std::to_string(counter)), XOLTLOG_OK);
    EXPECT_EQ(files().size(), 6u);
    EXPECT_EQ(lines(ordinary_name(5, 7, "260314", counter)).size(), 2u) << counter;
  }
}

TEST_F(Rollover, AFileOfAnotherHeaderVersionIsNeverAppendedTo) {
  const std::string old = ordinary_name(5, 7, "260314", 2);
  create_file(old, "$Header 65540,5,7,1773478000,alpha\n");
  XoltLogHandle& handle = open(config(5, 7));
  ASSERT_EQ(write(handle, "new"), XOLTLOG_OK);
  EXPECT_EQ(content(old), "$Header 65540,5,7,1773478000,alpha\n");
  ASSERT_EQ(files().size(), 2u);
  EXPECT_NE(content(files().at(1)).find("3:new"), std::string::npos);
}

TEST_F(Rollover, ReopenAfterTenMinutesContinuesTheOrdinaryFile) {
  XoltLogHandle& handle = open(config(5, 7));
  EXPECT_EQ(files_after_write_at(handle, local_time(2026, 3, 14, 10, 10, 1)), 1u);
  EXPECT_EQ(lines(files().at(0)).size(), 2u);  // same file, one header
  // After midnight the reopen starts the new day's file.
  EXPECT_EQ(files_after_write_at(handle, local_time(2026, 3, 15, 0, 30)), 2u);
}

TEST_F(Rollover, LogsetFilesAreNamedBySetAndStartAndReopenStartsANewOne) {
  XoltLogCfg cfg = config(12, 0, 0, "backup");
  XoltLogHandle& handle = open(cfg);
  ASSERT_EQ(write(handle, "set"), XOLTLOG_OK);
  const auto written = lines("12-backup-260314100000.log");
  EXPECT_EQ(written.at(0), "$Header 65544,-3600,alpha");
  EXPECT_EQ(written.at(1).rfind("2,0,1,", 0), 0u);  // logset records: no product field
  files_after_write_at(handle, local_time(2026, 3, 14, 10, 10, 1));
  EXPECT_EQ(files(),
            (std::vector<std::string>{"12-backup-260314100000.log", "12-backup-260314101001.log"}));
  xoltLogFreeCfg(&cfg);
}

// The disk-full indication lasts for the process, so the test runs in one
// of its own.
TEST_F(Rollover, DiskFullIsReportedOnceSet) {
  XoltLogHandle& handle = open(config(5, 7));
  const int status = run_in_child([&] {
    platform::posix::syscalls().write = [](int, const void*, size_t) -> ssize_t {
      return errno = ENOSPC, -1;
    };
    const bool full = write(handle, "lost") == XOLTLOG_E_DISK_FULL;
    platform::posix::syscalls().write = [](int, const void*, size_t) -> ssize_t {
      return errno = EIO, -1;
    };
    return full && write(handle, "lost") == XOLTLOG_E_DISK_FULL ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(write(handle, "kept"), XOLTLOG_OK);
}

}  // namespace
}  // namespace xoltlog::test
