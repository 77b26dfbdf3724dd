#include <gtest/gtest.h>

#include <cstring>

#include "xoltlog/frame.h"

namespace {

TEST(Memory, ZeroSizeAndNullInputsGiveNothing) {
  EXPECT_EQ(xoltLogMalloc(0), nullptr);
  EXPECT_EQ(xoltLogSafeStrdup(nullptr), nullptr);
  xoltLogFree(nullptr);
  EXPECT_EQ(xoltLogResFreeErrorMessage(nullptr), XOLTLOG_E_INVALID_ARG);
}

TEST(Memory, ImpossibleSizeFailsInsteadOfAborting) {
  EXPECT_EQ(xoltLogMalloc(UINT64_MAX), nullptr);
}

TEST(Memory, DuplicateIsAnIndependentCopyReleasedByTheLibrary) {
  char original[] = "disk full on /var";
  char* copy = xoltLogSafeStrdup(original);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, original);
  original[0] = 'D';
  EXPECT_STREQ(copy, "disk full on /var");
  EXPECT_EQ(xoltLogResFreeErrorMessage(copy), XOLTLOG_OK);

  char* empty = xoltLogSafeStrdup("");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty[0], '\0');
  xoltLogFree(empty);
}

TEST(Memory, BlocksAreUsableForTheirWholeSize) {
  auto* block = static_cast<unsigned char*>(xoltLogMalloc(4096));
  ASSERT_NE(block, nullptr);
  std::memset(block, 0xA5, 4096);
  EXPECT_EQ(block[4095], 0xA5);
  xoltLogFree(block);
}

}  // namespace
