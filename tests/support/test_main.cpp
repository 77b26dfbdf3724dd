// The main of every test binary: a helper process when asked for one,
// otherwise the GoogleTest run.
#include <gtest/gtest.h>

#include "support/helper_process.h"

int main(int argc, char** argv) {
  int helper_status = 0;
  if (xoltlog::test::run_helper_if_asked(argc, argv, helper_status)) {
    return helper_status;
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
