#include "tools/series_fixture.h"

namespace xoltlog::test {

XOLTLOG_TEST_HELPER(write_markers) {
  XoltLogHandle handle{};
  if (xoltLogOpen(kProduct, kOriginator, &handle) != 0) return 2;
  const int first = std::stoi(args.at(0)), count = std::stoi(args.at(1));
  for (int k = first; k < first + count; ++k) {
    if (xoltLogAppMsgEx(&handle, 0, 0, "writer", 0, "marker-%06d %s", k, kPadding.c_str()) != 0) {
      return 3;
    }
    usleep(static_cast<useconds_t>(std::stoi(args.at(2))));
  }
  return xoltLogClose(&handle) == 0 ? 0 : 4;
}

}  // namespace xoltlog::test
