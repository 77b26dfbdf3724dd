// What xoltlog.hpp adds over the C calls: closing and destroying by scope,
// storage that stays put when the object moves, levels checked before any
// text is made, and the opt-in exception.
#include <gtest/gtest.h>

#include <dirent.h>

#include <filesystem>
#include <string>

#include "api/handle_fixture.h"
#include "xoltlog/xoltlog.hpp"

namespace xoltlog::test {
namespace {

class CppLayer : public HandleStore {
 protected:
  static constexpr std::uint32_t kOriginator = 5;
  void SetUp() override {
    HandleStore::SetUp();
    write_section(kOriginator, {.debug_level = 2});
  }
  // Every record line of the log directory's files, one string.
  std::string logged() const {
    std::string all;
    for (const auto& entry : std::filesystem::directory_iterator(logs())) {
      if (entry.path().extension() == ".log") all += read_file(entry.path().string());
    }
    return all;
  }
};

int open_descriptors() {
  int count = 0;
  DIR* dir = opendir("/proc/self/fd");
  while (dir != nullptr && readdir(dir) != nullptr) ++count;
  if (dir != nullptr) closedir(dir);
  return count;
}

TEST_F(CppLayer, ScopeClosesTheHandleAndMovesKeepTheStorage) {
  const int before = open_descriptors();
  {
    Handle first;
    ASSERT_EQ(first.open(kProduct, kOriginator), 0u);
    EXPECT_GT(open_descriptors(), before);
    const XoltLogHandle* storage = first.get();
    Handle moved(std::move(first));
    EXPECT_EQ(moved.get(), storage);
    EXPECT_FALSE(first);
    EXPECT_EQ(first.app(0, "w", 0, "moved from"), 3u);
    EXPECT_EQ(moved.app(0, "w", 0, "after the move %d", 1), 0u);
    Handle assigned;
    ASSERT_EQ(assigned.open(kProduct, kOriginator + 1), 0u);
    assigned = std::move(moved);  // closes its own handle first
    EXPECT_EQ(assigned.get(), storage);
  }
  EXPECT_EQ(open_descriptors(), before);
  EXPECT_NE(logged().find("after the move 1"), std::string::npos);
  Handle unregistered;
  EXPECT_EQ(unregistered.open(kProduct + 1, kOriginator), 6u);
  EXPECT_FALSE(unregistered);
  EXPECT_EQ(unregistered.close(), 3u);
}

TEST_F(CppLayer, FilteredLevelsMakeNoText) {
  Handle log;
  ASSERT_EQ(log.open(kProduct, kOriginator), 0u);
  int made = 0;
  auto make = [&] { ++made; return std::string("lazy ") + std::to_string(made); };
  EXPECT_EQ(log.debug_lazy(3, "w", make), 0u);
  EXPECT_EQ(made, 0);
  EXPECT_EQ(log.debug(3, "w", "filtered %s", "debug"), 0u);
  EXPECT_EQ(log.diag(1, "w", 0, "filtered %s", "diag"), 0u);  // diagnostic level 0
  EXPECT_EQ(log.debug_lazy(2, "w", make), 0u);
  EXPECT_EQ(log.debug(2, "w", "kept %s", "debug"), 0u);
  EXPECT_EQ(made, 1);
  const std::string text = logged();
  EXPECT_EQ(text.find("filtered"), std::string::npos);
  EXPECT_NE(text.find("lazy 1"), std::string::npos);
  EXPECT_NE(text.find("kept debug"), std::string::npos);
  EXPECT_EQ(Handle().debug_lazy(1, "w", make), 3u);
  EXPECT_EQ(made, 1);
}

TEST_F(CppLayer, ContextsAreDestroyedByScopeAndMoveWithTheirStorage) {
  const int before = open_descriptors();
  Handle log;
  ASSERT_EQ(log.open(kProduct, kOriginator), 0u);
  Context refused;
  EXPECT_EQ(refused.create(log, nullptr, 0, "no title"), 3u);
  EXPECT_FALSE(refused);
  {
    Context job;
    ASSERT_EQ(job.create(log, "job-7", 0, "job %d started", 7), 0u);
    Context moved(std::move(job));
    EXPECT_EQ(job.destroy(), 3u);
    EXPECT_EQ(moved.app(0, "w", 0, "inside the job"), 0u);
    Context step;  // left to its scope
    ASSERT_EQ(step.create(moved, "step-2", 0, "step %d", 2), 0u);
    EXPECT_EQ(moved.destroy(), 0u);  // found on the writer's list after the move
  }
  EXPECT_EQ(log.close(), 0u);
  EXPECT_EQ(open_descriptors(), before);  // no context kept the file open
  const std::string text = logged();
  EXPECT_NE(text.find("job 7 started"), std::string::npos);
  EXPECT_NE(text.find("inside the job"), std::string::npos);
}

TEST(CppLayerResults, CheckThrowsOnlyForFailures) {
  EXPECT_EQ(check(XOLTLOG_OK), 0u);
  try {
    check(XOLTLOG_E_INVALID_ARG);
    FAIL() << "no exception";
  } catch (const Error& error) {
    EXPECT_EQ(error.code(), 3u);
    EXPECT_NE(std::string(error.what()).find("invalid argument"), std::string::npos);
  }
}

}  // namespace
}  // namespace xoltlog::test
