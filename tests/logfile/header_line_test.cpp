#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "logfile/header_line.h"
#include "writer/header_write.h"

namespace {

using namespace xoltlog;

const std::string kLongHost(600, 'h');
const std::string kCutHost = kLongHost.substr(0, 511);

std::string formatted(const XoltLogHeader& header) {
  std::array<char, kHeaderLineCapacity> out;
  return std::string(out.data(), format_header_line(header, out));
}

// The writer tests see its lines whole; a host name too long for the line,
// or without a terminator, is cut to fit.
TEST(HeaderLine, CutsTheHostNameToFit) {
  XoltLogHeader header = make_header({1, 2, true}, 0, 0, kLongHost);
  EXPECT_EQ(formatted(header), "$Header 65544,0," + kCutHost + "\n");
  std::memset(header.host_name, 'h', sizeof header.host_name);
  EXPECT_EQ(formatted(header), "$Header 65544,0," + kCutHost + "\n");
  // The writer writes only the two newest versions; the older ones have a
  // line of their own, versions outside the table none.
  header = make_header({12, 100, false}, 1773480605, -3600, "alpha");
  const std::pair<uint32_t, std::string> lines[] = {
      {65540, "$Header 65540,12,100,1773480605,alpha\n"},
      {65542, "$Header 65542,12,100,1773480605,alpha\n"},
      {65539, ""},
      {65545, ""},
  };
  for (const auto& [version, line] : lines) {
    header.version = version;
    EXPECT_EQ(formatted(header), line) << version;
  }
}

// The writer tests see the header's fields; this is the zone offset in
// force at the file's creation, daylight saving included.
TEST(NewHeader, TakesTheZoneOffsetOfItsCreation) {
  const struct { const char* rule; int64_t now; int32_t offset; } cases[] = {
      {"EET-2", 1773480605, -7200},                       // 2026-03-14
      {"EST5EDT,M3.2.0,M11.1.0", 1767225600, 18000},      // 2026-01-01
      {"CET-1CEST,M3.5.0,M10.5.0/3", 1782993600, -7200},  // 2026-07-02
  };
  for (const auto& c : cases) {
    setenv("TZ", c.rule, 1);
    tzset();
    XoltLogHeader header{};
    EXPECT_TRUE(fill_new_header(header, {12, 100, false}, c.now));
    EXPECT_EQ(header.creation_time, c.now);
    EXPECT_EQ(header.tz_offset, c.offset) << c.rule;
  }
  unsetenv("TZ");
  tzset();
}

}  // namespace
