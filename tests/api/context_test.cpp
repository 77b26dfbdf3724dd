// Contexts through the exported operations, over writers connected as the
// writer tests connect them (fixed clock, host and zone).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/allocation_faults.h"
#include "writer/writer_fixture.h"
#include "xoltlog/context.h"
#include "xoltlog/handle.h"
#include "xoltlog/log.h"

namespace xoltlog::test {
namespace {

class Contexts : public WriterTest {
 protected:
  XoltLogHandle& open_small(const char* logset = nullptr) {
    XoltLogCfg cfg = config(5, 7, XOLTLOG_ROLLOVER_FILE_SIZE, logset);
    cfg.max_file_size_kb = 1;
    XoltLogHandle& handle = open(cfg);
    xoltLogFreeCfg(&cfg);
    return handle;
  }

  // Logs through handle until its writer starts another file; the new
  // file's lines.
  std::vector<std::string> roll_over(XoltLogHandle& handle) {
    const std::size_t before = files().size();
    for (int i = 0; i < 20 && files().size() == before; ++i) {
      clock_seconds_ += 1;
      FakeClock::set(clock_seconds_, 0);
      EXPECT_EQ(xoltLogAppMsg(&handle, 0, 1, 0, "filler %s", std::string(200, 'f').c_str()), 0u);
    }
    EXPECT_EQ(files().size(), before + 1);
    return lines(files().back());
  }

  // The line of the first file that contains marker.
  std::string first_line_with(const std::string& marker) const {
    for (const std::string& line : lines(files().front())) {
      if (line.find(marker) != std::string::npos) return line;
    }
    return {};
  }

  std::int64_t clock_seconds_ = local_time(2026, 3, 14, 10, 0);
};

TEST_F(Contexts, LiveContextsOpenEveryNewFileMostRecentFirstAsFirstWritten) {
  XoltLogHandle& parent = open_small();
  ASSERT_EQ(xoltLogSetSequenceNumber(&parent, 40), 0u);
  XoltLogHandle job{};
  XoltLogHandle step{};
  ASSERT_EQ(xoltLogCreateContext(&parent, &job, "job", 0, "job %d started", 17), 0u);
  FakeClock::set(clock_seconds_ += 5, 0);
  // A context created through a live context carries its title as token.
  ASSERT_EQ(xoltLogCreateContext(&job, &step, "step", 0, "step %s", "two"), 0u);
  ASSERT_EQ(xoltLogAppMsg(&step, 0, 1, 0, "inside"), 0u);

  const std::string job_line = first_line_with("job 17 started");
  const std::string step_line = first_line_with("step two");
  EXPECT_EQ(job_line.rfind("3,", 0), 0u) << job_line;
  EXPECT_NE(job_line.find(",40,"), std::string::npos) << job_line;
  EXPECT_NE(step_line.find(",1,"), std::string::npos) << step_line;  // job's own numbering
  EXPECT_NE(step_line.find("3:job,"), std::string::npos) << step_line;
  const std::string inside = first_line_with("inside");
  EXPECT_NE(inside.find(",1,"), std::string::npos) << inside;
  EXPECT_NE(inside.find("4:step,"), std::string::npos) << inside;

  std::vector<std::string> second = roll_over(parent);
  ASSERT_GE(second.size(), 3u);
  EXPECT_EQ(second[1], step_line);
  EXPECT_EQ(second[2], job_line);

  // The context step was created through outlives it: its record keeps
  // the token it was written with.
  EXPECT_EQ(xoltLogDestroyContext(&job), 0u);
  EXPECT_EQ(xoltLogDestroyContext(&job), 1u);
  std::vector<std::string> third = roll_over(parent);
  ASSERT_GE(third.size(), 3u);
  EXPECT_EQ(third[1], step_line);
  EXPECT_EQ(third[2].find("job 17"), std::string::npos);
  EXPECT_EQ(xoltLogDestroyContext(&step), 0u);
  EXPECT_EQ(roll_over(parent).at(1).find("step two"), std::string::npos);
}

TEST_F(Contexts, LogsetFilesNeverStartWithContexts) {
  XoltLogHandle& parent = open_small("nightly");
  XoltLogHandle context{};
  ASSERT_EQ(xoltLogCreateContext(&parent, &context, "run", 0, "run begins"), 0u);
  const std::vector<std::string> next = roll_over(parent);
  ASSERT_GE(next.size(), 2u);
  EXPECT_EQ(next[1].find("run begins"), std::string::npos);
  EXPECT_EQ(xoltLogDestroyContext(&context), 0u);
}

TEST_F(Contexts, RefusedAndFailedCreationsLeaveNothingAttached) {
  XoltLogHandle& parent = open_small();
  XoltLogHandle context{};
  EXPECT_EQ(xoltLogCreateContext(nullptr, &context, "t", 0, "x"), 3u);
  EXPECT_EQ(xoltLogCreateContext(&parent, nullptr, "t", 0, "x"), 3u);
  EXPECT_EQ(xoltLogCreateContext(&parent, &context, "t", 0, nullptr), 3u);
  EXPECT_EQ(xoltLogCreateContext(&parent, &context, nullptr, 0, "x"), 3u);
  EXPECT_EQ(xoltLogCreateContext(&parent, &parent, "t", 0, "x"), 3u);
  EXPECT_EQ(xoltLogCreateContextToFile(&parent, &context, nullptr), 3u);
  EXPECT_EQ(xoltLogDestroyContext(nullptr), 3u);
  // A format the catalog library refuses: its mapped code.
  EXPECT_EQ(xoltLogCreateContext(&parent, &context, "t", 99, "%{utf8}", nullptr), 3u);
  // A parent without a log file: the write's code, and the context is not
  // attached, so destroying it says so.
  XoltLogHandle fileless{};
  fileless.context_marker = 1;
  EXPECT_EQ(xoltLogCreateContext(&fileless, &context, "t", 0, "lost"), 57u);
  EXPECT_EQ(xoltLogDestroyContext(&context), 1u);
  EXPECT_EQ(xoltLogClose(&context), 3u);

  ASSERT_EQ(xoltLogCreateContext(&parent, &context, "t", 0, "live"), 0u);
  // A live context can be neither made again nor closed as a handle.
  EXPECT_EQ(xoltLogCreateContext(&parent, &context, "t", 0, "again"), 3u);
  EXPECT_EQ(xoltLogClose(&context), 3u);
  EXPECT_EQ(lines(files().front()).size(), 2u);
  EXPECT_EQ(xoltLogDestroyContext(&context), 0u);
}

TEST_F(Contexts, AContextOutlivingItsParentKeepsTheFileUntilDestroyed) {
  XoltLogHandle* parent = &open_small();
  XoltLogHandle context{};
  ASSERT_EQ(xoltLogCreateContext(parent, &context, "t", 0, "outlives"), 0u);
  EXPECT_EQ(xoltLogClose(parent), 0u);
  // Closing the parent took back the configuration the context shared.
  EXPECT_EQ(context.config, nullptr);
  EXPECT_EQ(xoltLogAppMsg(&context, 0, 1, 0, "after parent"), 0u);
  EXPECT_NE(first_line_with("after parent"), "");
  EXPECT_EQ(xoltLogDestroyContext(&context), 0u);
  EXPECT_EQ(context.file_writer, nullptr);
  EXPECT_EQ(xoltLogDestroyContext(&context), 1u);
}

TEST_F(Contexts, RunningOutOfMemoryAnywhereInCreationIsReportedAndLeaksNothing) {
  XoltLogHandle& parent = open_small();
  int written = 0;
  const int runs = for_each_allocation_fault(
      [](long) { return std::make_unique<XoltLogHandle>(); },
      [&](std::unique_ptr<XoltLogHandle>& context) {
        return xoltLogCreateContext(&parent, context.get(), "t", 0, "made %d", 1);
      },
      [&](long allowed, std::unique_ptr<XoltLogHandle>& context, std::uint32_t result) {
        EXPECT_TRUE(result == 0 || result == 4) << allowed << ": " << result;
        written += result == 0;
        EXPECT_EQ(xoltLogDestroyContext(context.get()), result == 0 ? 0u : 1u) << allowed;
      });
  EXPECT_GT(runs, 3);
  std::size_t lines_made = 0;
  for (const std::string& line : lines(files().front())) lines_made += line.find("made 1") != line.npos;
  EXPECT_EQ(lines_made, static_cast<std::size_t>(written));
}

}  // namespace
}  // namespace xoltlog::test
