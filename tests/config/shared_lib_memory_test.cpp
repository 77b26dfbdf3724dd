// Loading a library beside this one takes no allocation of the library's
// own, so it still works when memory has run out.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/shared_lib.h"
#include "support/allocation_faults.h"

namespace {

// The probe beside this program is found by its bare name, which the
// system's search alone would not find, without a single allocation; a
// name too long for any path is refused without harm.
TEST(SharedLib, BareNameFoundBesideWithoutAnyAllocation) {
  const std::string too_long(PATH_MAX, 'x');
  xoltlog::test::arm_allocation_fault(0);
  void* module = xoltlog::platform::load_library("xoltLogTestProbe_3.so");
  void* nothing = xoltlog::platform::load_library(too_long.c_str());
  EXPECT_FALSE(xoltlog::test::disarm_allocation_fault()) << "an allocation was made";
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(nothing, nullptr);
  xoltlog::platform::unload_library(module);
}

}  // namespace
