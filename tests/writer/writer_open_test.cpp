// Connecting handles to writers: sharing, resuming, new files and failures.
#include <fcntl.h>

#include <cerrno>
#include <tuple>

#include "writer/writer_fixture.h"

namespace xoltlog::test {
namespace {

const std::string kToday = "260314";

TEST_F(WriterTest, HandlesOfOneSeriesShareOneWriterAndFile) {
  const XoltLogCfg cfg = config(5, 7);
  XoltLogHandle& first = open(cfg);
  XoltLogHandle& second = open(cfg);
  EXPECT_EQ(first.file_writer, second.file_writer);
  EXPECT_NE(open(config(5, 8)).file_writer, first.file_writer);
  EXPECT_NE(open(config(4294967295u, 7)).file_writer, first.file_writer);  // a full-width id

  ASSERT_EQ(files(), (std::vector<std::string>{ordinary_name(4294967295u, 7, kToday, 0),
                                               ordinary_name(5, 7, kToday, 0),
                                               ordinary_name(5, 8, kToday, 0)}));
  EXPECT_EQ(close(first), XOLTLOG_OK);
  EXPECT_EQ(first.file_writer, nullptr);
  ASSERT_EQ(write(second, "still writing"), XOLTLOG_OK);
  const auto written = lines(ordinary_name(5, 7, kToday, 0));
  ASSERT_EQ(written.size(), 2u);
  EXPECT_EQ(written[0], "$Header 65543,5,7," + std::to_string(local_time(2026, 3, 14, 10, 0)) +
                            ",-3600,alpha");
  EXPECT_NE(written[1].find("13:still writing"), std::string::npos);
  EXPECT_EQ(close(second), XOLTLOG_OK);
  // The slot is free again: a new opener gets a writer of its own.
  EXPECT_NE(open(cfg).file_writer, nullptr);
}

TEST_F(WriterTest, ResumesTheLatestFileAndCountsOnFromIt) {
  const std::string latest = ordinary_name(5, 7, kToday, 4);
  // Which file is the latest is for the LatestLog tests; this one is alone.
  create_file(latest, "$Header 65543,5,7,1773480000,-3600,alpha\n");
  XoltLogCfg cfg = config(5, 7, XOLTLOG_ROLLOVER_FILE_SIZE);
  cfg.max_file_size_kb = 1;
  XoltLogHandle& handle = open(cfg);
  EXPECT_EQ(start_time(handle), 1773480000);
  ASSERT_EQ(write(handle, "resumed"), XOLTLOG_OK);
  EXPECT_EQ(lines(latest).size(), 2u);  // no second header

  ASSERT_EQ(write(handle, std::string(1100, 'x')), XOLTLOG_OK);  // too big: next file
  EXPECT_EQ(lines(ordinary_name(5, 7, kToday, 5)).size(), 2u);

  // Another day restarts the counter, the same day of another month or year too.
  for (const auto& [year, month, date] :
       {std::tuple{2026, 3, "260315"}, {2026, 4, "260415"}, {2027, 4, "270415"}}) {
    FakeClock::set(local_time(year, month, 15, 0, 1), 0);
    ASSERT_EQ(write(handle, std::string(1100, 'y')), XOLTLOG_OK);
    EXPECT_EQ(lines(ordinary_name(5, 7, date, 0)).size(), 2u) << date;
  }
}

// Another process started the next file first: this writer rolls into it
// without giving it a second header, and takes its start from its header.
TEST_F(WriterTest, ANewNameThatExistsIsJoinedWithoutASecondHeader) {
  XoltLogCfg cfg = config(5, 7, XOLTLOG_ROLLOVER_FILE_SIZE);
  cfg.max_file_size_kb = 1;
  XoltLogHandle& handle = open(cfg);
  const std::string next = ordinary_name(5, 7, kToday, 1);
  create_file(next, "$Header 65543,5,7,1773480500,-3600,beta\nother\n");
  ASSERT_EQ(write(handle, std::string(1100, 'x')), XOLTLOG_OK);
  const auto written = lines(next);
  ASSERT_EQ(written.size(), 3u);
  EXPECT_EQ(written[1], "other");
  EXPECT_EQ(start_time(handle), 1773480500);
}

TEST_F(WriterTest, ConnectFailuresAndRefusalsAreReportedAndCloseReleasesAll) {
  XoltLogCfg no_directory = config(5, 7);
  no_directory.log_directory[0] = '\0';
  std::uint32_t result = 0;
  XoltLogHandle& without = open(no_directory, &result);
  EXPECT_EQ(result, XOLTLOG_E_NO_DIRECTORY);
  EXPECT_EQ(close(without), XOLTLOG_E_FAILED);
  EXPECT_EQ(without.file_writer, nullptr);  // released all the same

  create_file("blocker", "");
  XoltLogCfg blocked = config(5, 7);
  xoltLogCfgSetDirectory(&blocked, dir_.file("blocker/logs").c_str(), nullptr);
  open(blocked, &result);
  EXPECT_EQ(result, XOLTLOG_E_FAILED);

  calls_.table().open = [](const char* path, int flags, mode_t mode) {
    return (flags & (O_WRONLY | O_RDWR)) != 0 ? (errno = EACCES, -1)
                                   : platform::posix::real_syscalls().open(path, flags, mode);
  };
  XoltLogHandle& denied = open(config(5, 9), &result);
  EXPECT_EQ(result, XOLTLOG_E_FILE_ACCESS);
  EXPECT_EQ(write(denied, "lost"), XOLTLOG_E_APPEND);
  calls_.table().open = [](const char*, int, mode_t) { return errno = EMFILE, -1; };
  open(config(5, 10), &result);
  EXPECT_EQ(result, XOLTLOG_E_FILE_OPEN);

  XoltLogHandle bare{};  // no writer
  EXPECT_EQ(xoltLogOpenFile(&bare, &blocked, &blocked), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogCloseFile(&bare), XOLTLOG_E_INVALID_ARG);
  XoltLogMsg msg{};
  EXPECT_EQ(xoltLogWriteMsgWithRolloverToFile(nullptr, &msg), XOLTLOG_E_NO_WRITER);
  EXPECT_EQ(xoltLogWriteMsgWithRolloverToFile(denied.file_writer, nullptr), XOLTLOG_E_FAILED);
}

}  // namespace
}  // namespace xoltlog::test
