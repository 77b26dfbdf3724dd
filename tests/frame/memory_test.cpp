#include <gtest/gtest.h>

#include <cstring>

#include "xoltlog/frame.h"

namespace {

TEST(Memory, ZeroImpossibleAndNullRequestsGiveNothing) {
  EXPECT_EQ(xoltLogMalloc(0), nullptr);
  EXPECT_EQ(xoltLogMalloc(UINT64_MAX), nullptr);  // fails instead of aborting
  EXPECT_EQ(xoltLogSafeStrdup(nullptr), nullptr);
  xoltLogFree(nullptr);
  EXPECT_EQ(xoltLogResFreeErrorMessage(nullptr), XOLTLOG_E_INVALID_ARG);
}

// Blocks are usable for their whole size and go back through the library.
TEST(Memory, DuplicatesAreIndependentCopiesReleasedByTheLibrary) {
  char original[] = "disk full on /var";
  char* copy = xoltLogSafeStrdup(original);
  ASSERT_NE(copy, nullptr);
  original[0] = 'D';
  EXPECT_STREQ(copy, "disk full on /var");
  EXPECT_EQ(xoltLogResFreeErrorMessage(copy), XOLTLOG_OK);
  char* empty = xoltLogSafeStrdup("");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty[0], '\0');
  xoltLogFree(empty);
  auto* block = static_cast<unsigned char*>(xoltLogMalloc(4096));
  ASSERT_NE(block, nullptr);
  std::memset(block, 0xA5, 4096);
  xoltLogFree(block);
}

}  // namespace
