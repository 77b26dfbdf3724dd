#include <gtest/gtest.h>

#include <unistd.h>

#include <set>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "xoltlog/handle.h"

namespace {

TEST(Identity, MatchesTheSystemsIdentifiers) {
  EXPECT_EQ(getPID(), static_cast<uint32_t>(getpid()));
  EXPECT_EQ(getTID(), static_cast<uint32_t>(gettid()));
  uint32_t other_tid = 0, system_tid = 0;
  std::thread([&] {
    other_tid = getTID();
    system_tid = static_cast<uint32_t>(gettid());
  }).join();
  EXPECT_EQ(other_tid, system_tid);
  EXPECT_NE(other_tid, getTID());
}

// The identifiers are cached; a forked child must still report its own.
TEST(Identity, ForkedChildReportsItsOwnIdentifiers) {
  const uint32_t parent_pid = getPID(), parent_tid = getTID();
  EXPECT_EQ(xoltlog::test::run_in_child([&] {
    const bool own_pid = getPID() == static_cast<uint32_t>(getpid()) && getPID() != parent_pid;
    const bool own_tid = getTID() == static_cast<uint32_t>(gettid()) && getTID() != parent_tid;
    return own_pid && own_tid ? 0 : 1;
  }), 0);
}

TEST(SequenceNumbers, CountUpAndWrap) {
  EXPECT_EQ(GetNextSequenceNumber(nullptr), 0u);
  XoltLogHandle handle{};
  handle.sequence_counter = UINT32_MAX - 1;
  EXPECT_EQ(GetNextSequenceNumber(&handle), UINT32_MAX - 1);
  EXPECT_EQ(GetNextSequenceNumber(&handle), UINT32_MAX);
  EXPECT_EQ(GetNextSequenceNumber(&handle), 0u);
  EXPECT_EQ(handle.sequence_counter, 1u);
}

TEST(SequenceNumbers, ThreadsSharingAHandleNeverGetTheSameNumber) {
  constexpr int kThreads = 4;
  constexpr int kEach = 5000;
  XoltLogHandle handle{};
  handle.sequence_counter = 1;
  std::vector<std::vector<uint32_t>> seen(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        seen[static_cast<size_t>(t)].push_back(GetNextSequenceNumber(&handle));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::set<uint32_t> all;
  for (const auto& numbers : seen) all.insert(numbers.begin(), numbers.end());
  EXPECT_EQ(all.size(), static_cast<size_t>(kThreads * kEach));
  EXPECT_EQ(*all.begin(), 1u);
  EXPECT_EQ(*all.rbegin(), static_cast<uint32_t>(kThreads * kEach));
}

}  // namespace
