// Exhaustion at every allocation of a build: the status is -3, the message
// stays zeroed and, as the leak checker confirms, nothing stays allocated.
// The executable's allocator is the shared fault-injecting one.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "support/allocation_faults.h"
#include "support/rir_messages.h"

namespace {

using rir_test::OwnedMsg;

// Fails the first, second, ... allocation of the build until it succeeds.
void expect_clean_exhaustion(const std::function<int32_t(XoltRirMsg*)>& build) {
  int failures = 0;
  for (long allowed = 0;; ++allowed) {
    OwnedMsg msg;
    xoltlog::test::arm_allocation_fault(allowed);
    const int32_t status = build(msg.get());
    if (!xoltlog::test::disarm_allocation_fault()) {
      ASSERT_EQ(status, XOLT_RIR_OK);
      break;
    }
    ASSERT_EQ(status, XOLT_RIR_ENOMEM) << "after " << allowed << " allocations";
    ASSERT_TRUE(msg.zeroed());
    ++failures;
  }
  EXPECT_GT(failures, 3);
}

TEST(AllocFailure, EveryBuildStepReleasesWhatItHeld) {
  OwnedMsg nested;
  ASSERT_EQ(rir_test::build_ex(nested.get(), 0, 1, "%s%ls%{utf8}", "a", L"b", "c"), XOLT_RIR_OK);
  OwnedMsg outer;
  ASSERT_EQ(rir_test::build_ex(outer.get(), 0, 2, "%{rir}%{rir}", nested.get(), nested.get()),
            XOLT_RIR_OK);
  expect_clean_exhaustion([&](XoltRirMsg* msg) {
    return rir_test::build_ex(msg, 1, 3, "%s %ls %c %{rir} %d", "x", L"y", 'z', outer.get(), 4);
  });
  expect_clean_exhaustion([&](XoltRirMsg* msg) {
    return rir_test::build_text(msg, "lit %5d %% %s %x %{rir} %.2f end", 1, "s", 2u, outer.get(),
                                0.5);
  });
}

}  // namespace
