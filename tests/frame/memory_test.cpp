#include <gtest/gtest.h>

#include <cstring>

#include "xoltlog/frame.h"

namespace {

// Impossible requests fail instead of aborting; duplicates are copies the
// library takes back.
TEST(Memory, ImpossibleRequestsGiveNothingAndDuplicatesAreCopies) {
  EXPECT_EQ(xoltLogMalloc(0), nullptr);
  EXPECT_EQ(xoltLogMalloc(UINT64_MAX), nullptr);
  EXPECT_EQ(xoltLogSafeStrdup(nullptr), nullptr);
  EXPECT_EQ(xoltLogResFreeErrorMessage(nullptr), XOLTLOG_E_INVALID_ARG);
  xoltLogFree(nullptr);
  char original[] = "disk full on /var";
  char* copy = xoltLogSafeStrdup(original);
  ASSERT_NE(copy, nullptr);
  original[0] = 'D';
  EXPECT_STREQ(copy, "disk full on /var");
  EXPECT_EQ(xoltLogResFreeErrorMessage(copy), XOLTLOG_OK);
}

}  // namespace
