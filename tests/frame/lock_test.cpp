#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "frame/library_lock.h"
#include "xoltlog/frame.h"
#include "xoltlog/handle.h"

namespace {

class LockMisuse : public ::testing::Test {
 protected:
  // Each death test re-runs the binary, so the library lock in the dying
  // child is exactly as a fresh process has it.
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
  XoltLogLock lock_{};
};

// Ten nested acquisitions released innermost first; a destroyed lock can be
// initialised again (twice is harmless) and used.
TEST(Lock, NestsTenDeepAndIsReusableAfterDestruction) {
  static const char* const kNames[XOLTLOG_LOCK_MAX_DEPTH] = {
      "a()", "b()", "c()", "d()", "e()", "f()", "g()", "h()", "i()", "j()"};
  XoltLogLock lock{};
  for (const char* name : kNames) {
    xoltLogLock(&lock, name);
  }
  for (int i = XOLTLOG_LOCK_MAX_DEPTH - 1; i >= 0; --i) {
    xoltLogUnlock(&lock, kNames[i]);
  }
  xoltLogDestroyLock(&lock);  // aborts unless all ten were released
  xoltLogLockInit(&lock);
  xoltLogLockInit(&lock);
  xoltLogLock(&lock, "again()");
  xoltLogUnlock(&lock, "again()");
  xoltLogDestroyLock(&lock);
  xoltLogLockInit(nullptr);
}

// Threads racing to the first use of a zeroed lock must end up sharing one
// critical section, so their unsynchronised counter loses no increment.
TEST(Lock, FirstUseFromManyThreadsStillExcludes) {
  constexpr int kThreads = 4;
  constexpr int kIncrements = 20000;
  for (int round = 0; round < 20; ++round) {
    XoltLogLock lock{};
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&] {
        for (int i = 0; i < kIncrements; ++i) {
          xoltLogLock(&lock, "count()");
          counter = counter + 1;
          xoltLogUnlock(&lock, "count()");
        }
      });
    }
    for (std::thread& thread : threads) {
      thread.join();
    }
    ASSERT_EQ(counter, static_cast<long>(kThreads) * kIncrements) << "round " << round;
    xoltLogDestroyLock(&lock);
  }
}

// The library's own lock is the one applications take, so library calls
// nest inside it; destroyed, it comes back at its next use.
TEST(Lock, CommonLockIsRecursiveWithLibraryCallsAndRebornAfterDestruction) {
  XoltLogHandle handle{};
  handle.sequence_counter = 41;
  xoltLockCommon("application()");
  EXPECT_EQ(GetNextSequenceNumber(&handle), 41u);
  xoltUnlockCommon("application()");
  xoltDestroyCommonLock();  // aborts if still held
  EXPECT_EQ(xoltlog::library_lock().initialised, 0u);
  EXPECT_EQ(GetNextSequenceNumber(&handle), 42u);
  EXPECT_EQ(xoltlog::library_lock().initialised, 1u);
}

TEST_F(LockMisuse, EleventhNestedAcquisitionOrANullLockAborts) {
  EXPECT_DEATH(
      {
        for (int i = 0; i <= XOLTLOG_LOCK_MAX_DEPTH; ++i) {
          xoltLogLock(&lock_, "deep()");
        }
      },
      "");
  EXPECT_DEATH(xoltLogLock(nullptr, "null()"), "");
  EXPECT_DEATH(xoltLogUnlock(nullptr, "null()"), "");
  EXPECT_DEATH(xoltLogDestroyLock(nullptr), "");
}

// A release must match the innermost acquisition: same thread, same caller
// text at the same address.
TEST_F(LockMisuse, ReleaseOtherThanTheInnermostAcquisitionAborts) {
  EXPECT_DEATH(xoltLogUnlock(&lock_, "never()"), "");
  EXPECT_DEATH(xoltUnlockCommon("nobody()"), "");
  xoltLogLockInit(&lock_);
  EXPECT_DEATH(xoltLogUnlock(&lock_, "never()"), "");
  static const char kFirst[] = "same()";
  static const char kSecond[] = "same()";
  EXPECT_DEATH((xoltLogLock(&lock_, kFirst), xoltLogUnlock(&lock_, kSecond)), "");
  EXPECT_DEATH((xoltLogLock(&lock_, "outer()"), xoltLogLock(&lock_, "inner()"),
                xoltLogUnlock(&lock_, "outer()")),
               "");
  EXPECT_DEATH((xoltLogLock(&lock_, "held()"),
                std::thread([this] { xoltLogUnlock(&lock_, "held()"); }).join()),
               "");
}

TEST_F(LockMisuse, DestroyingAHeldOrUninitialisedLockAborts) {
  EXPECT_DEATH(xoltLogDestroyLock(&lock_), "");
  EXPECT_DEATH(xoltDestroyCommonLock(), "");
  EXPECT_DEATH((xoltLogLock(&lock_, "held()"), xoltLogDestroyLock(&lock_)), "");
}

}  // namespace
