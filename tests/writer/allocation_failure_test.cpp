// Memory running out at every allocation of the writer's paths: opening a
// new file, resuming one, writing with a size rollover, closing. Each run
// gives a documented result, leaves no file without its header and, as the
// leak checker of the sanitizer build confirms, keeps nothing allocated.
#include <set>

#include "support/allocation_faults.h"
#include "writer/writer_fixture.h"

namespace xoltlog::test {
namespace {

const std::set<std::uint32_t> kDocumented{XOLTLOG_OK, XOLTLOG_E_NO_MEMORY};

// One run: its configuration, its handle and a record to write.
struct RunState {
  XoltLogCfg cfg;
  XoltLogHandle* handle;
  XoltLogMsg msg;
};

class AllocationFaults : public WriterTest {
 protected:
  // A handle with a writer of its own over a directory of the run's own,
  // and when asked connected, with a first record and a record of text.
  RunState prepare(const char* logset, bool connect, const std::string& text) {
    RunState state{config(5, 7, XOLTLOG_ROLLOVER_FILE_SIZE, logset), nullptr, {}};
    run_dir_ = dir_.file("run" + std::to_string(++runs_));
    xoltLogCfgSetDirectory(&state.cfg, run_dir_.c_str(), nullptr);
    xoltLogCfgSetLogFileSDDL(&state.cfg, "D:(A;;FA;;;OW)");
    state.cfg.max_file_size_kb = 1;
    state.handle = handles_.emplace_back(std::make_unique<XoltLogHandle>()).get();
    state.handle->file_writer = new_file_writer();
    if (connect) {
      EXPECT_EQ(xoltLogOpenFile(state.handle, &state.cfg, &state.cfg), XOLTLOG_OK);
      EXPECT_EQ(write(*state.handle, "first " + std::string(500, 'f')), XOLTLOG_OK);
      xoltLogInitMsg(&state.msg, state.handle, XOLTLOG_MSG_APP, text.c_str());
    }
    return state;
  }

  // Closes and releases the run; every file of the run starts with its
  // header, and the text of them all is given back.
  std::string finish(long run, RunState& state) {
    EXPECT_EQ(close(*state.handle), XOLTLOG_OK) << run;
    xoltLogFreeMsg(&state.msg);
    xoltLogFreeCfg(&state.cfg);
    std::string all;
    std::error_code absent;
    for (const auto& entry : std::filesystem::directory_iterator(run_dir_, absent)) {
      if (entry.path().extension() != ".log") continue;  // the lock region
      const std::string text = read_file(entry.path());
      EXPECT_EQ(text.rfind("$Header ", 0), 0u) << run << ": " << entry.path();
      all += text;
    }
    return all;
  }

  static std::size_t count(const std::string& text, const std::string& word) {
    std::size_t found = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++found;
    return found;
  }

  std::string run_dir_;
  int runs_ = 0;
};

// A failed open leaves the handle attached; it is closed as usual. A write
// in between starts the file the open could not, or fails with 5 when the
// open could not keep what naming the file takes (a logset's name).
TEST_F(AllocationFaults, OpeningANewOrAResumedFileFailsCleanly) {
  const std::string latest = ordinary_name(5, 7, "260314", 4);
  for (const bool resume : {false, true}) {
    for (const char* logset : {static_cast<const char*>(nullptr), "set"}) {
      const int runs = for_each_allocation_fault(
          [&](long) {
            RunState state = prepare(logset, false, "");
            if (resume) {
              std::filesystem::create_directories(run_dir_);
              std::ofstream(run_dir_ + "/" + latest) << "$Header 65543,5,7,1773480000,-3600,alpha\n";
            }
            return state;
          },
          [](RunState& state) { return xoltLogOpenFile(state.handle, &state.cfg, &state.cfg); },
          [&](long run, RunState& state, std::uint32_t opened) {
            EXPECT_TRUE(kDocumented.contains(opened)) << run << ": " << opened;
            const std::uint32_t written = write(*state.handle, "written");
            EXPECT_TRUE(written == XOLTLOG_OK || (opened != XOLTLOG_OK && written == XOLTLOG_E_APPEND))
                << run << ": " << written;
            EXPECT_EQ(count(finish(run, state), "written"), written == XOLTLOG_OK ? 1u : 0u) << run;
          });
      EXPECT_GT(runs, 5) << resume << (logset != nullptr);
    }
  }
}

// The record that rolls the file over, short or longer than the line
// buffer's inline storage, is written once or reported as not written; the
// writer keeps a file for the next record.
TEST_F(AllocationFaults, WritingWithARolloverFailsCleanly) {
  for (const std::size_t length : {std::size_t{900}, std::size_t{5000}}) {
    const int runs = for_each_allocation_fault(
        [&](long) { return prepare(nullptr, true, "probe " + std::string(length, 'p')); },
        [](RunState& state) {
          return xoltLogWriteMsgWithRolloverToFile(state.handle->file_writer, &state.msg);
        },
        [&](long run, RunState& state, std::uint32_t written) {
          EXPECT_TRUE(kDocumented.contains(written)) << run << ": " << written;
          EXPECT_EQ(write(*state.handle, "last"), XOLTLOG_OK) << run;
          const std::string all = finish(run, state);
          EXPECT_EQ(count(all, "probe "), written == XOLTLOG_OK ? 1u : 0u) << run;
          EXPECT_EQ(count(all, "last"), 1u) << run;
        });
    EXPECT_GT(runs, 1) << length;
  }
}

TEST_F(AllocationFaults, ClosingNeedsNoMemory) {
  RunState state = prepare(nullptr, true, "unused");
  arm_allocation_fault(0);
  const std::uint32_t closed = close(*state.handle);
  EXPECT_FALSE(disarm_allocation_fault());
  EXPECT_EQ(closed, XOLTLOG_OK);
  xoltLogFreeMsg(&state.msg);
  xoltLogFreeCfg(&state.cfg);
}

}  // namespace
}  // namespace xoltlog::test
