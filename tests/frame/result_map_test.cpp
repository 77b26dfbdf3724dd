#include <gtest/gtest.h>

#include <cstring>

#include "frame/result_map.h"
#include "xoltlog/frame.h"

namespace {

struct Mapping {
  int64_t from;
  uint32_t to;
};

TEST(ResultMap, CatalogStatuses) {
  const Mapping cases[] = {{0, 0}, {-2, 3}, {-3, 4}, {-4, 2}, {1, 10}, {-1, 10}, {-5, 10}};
  for (const Mapping& c : cases) {
    EXPECT_EQ(xoltLogMapRirResToLoggingRes(static_cast<int32_t>(c.from)), c.to) << c.from;
  }
}

TEST(ResultMap, PropertyStoreResults) {
  const Mapping cases[] = {{0, 0}, {1, 3},  {2, 6},   {4, 6},   {5, 55}, {6, 1},
                           {7, 9}, {8, 50}, {9, 61},  {10, 64}, {11, 1}};
  for (const Mapping& c : cases) {
    EXPECT_EQ(utipsres2xoltlogres(static_cast<uint32_t>(c.from)), c.to) << c.from;
  }
}

TEST(ResultCodes, KnownCodesHaveNamesAndMeanings) {
  EXPECT_STREQ(xoltlog::result_name(4294967295u), "XOLTLOG_E_OSLOG_REFUSED");
  EXPECT_STREQ(xoltlog::result_name(3), "XOLTLOG_E_INVALID_ARG");
  EXPECT_EQ(xoltlog::result_name(7), nullptr);
  EXPECT_EQ(xoltlog::result_meaning(8), nullptr);
  EXPECT_NE(std::strstr(xoltlog::result_meaning(53), "directory"), nullptr);
}

}  // namespace
