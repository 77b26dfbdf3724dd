#include <gtest/gtest.h>

#include <cstring>

#include "frame/result_map.h"
#include "xoltlog/frame.h"

namespace {

// Unknown statuses of either component fall into one catch-all result;
// codes that exist have a name and a meaning.
TEST(ResultMap, ComponentStatusesBecomeCodesWithNames) {
  for (const auto& [status, result] :
       {std::pair{0, 0u}, {-2, 3u}, {-3, 4u}, {-4, 2u}, {1, 10u}, {-5, 10u}}) {
    EXPECT_EQ(xoltLogMapRirResToLoggingRes(status), result) << status;
  }
  for (const auto& [status, result] : {std::pair{0u, 0u}, {1u, 3u}, {2u, 6u}, {4u, 6u}, {5u, 55u},
                                       {6u, 1u}, {7u, 9u}, {8u, 50u}, {9u, 61u}, {10u, 64u},
                                       {11u, 1u}}) {
    EXPECT_EQ(utipsres2xoltlogres(status), result) << status;
  }
  EXPECT_STREQ(xoltlog::result_name(4294967295u), "XOLTLOG_E_OSLOG_REFUSED");
  EXPECT_STREQ(xoltlog::result_name(3), "XOLTLOG_E_INVALID_ARG");
  EXPECT_EQ(xoltlog::result_name(7), nullptr);
  EXPECT_NE(std::strstr(xoltlog::result_meaning(53), "directory"), nullptr);
}

}  // namespace
