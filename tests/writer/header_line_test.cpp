#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/host_address.h"
#include "support/fake_clock.h"
#include "writer/header_line.h"
#include "writer/header_write.h"

namespace {

using namespace xoltlog;

const std::string kLongHost(600, 'h');
const std::string kCutHost = kLongHost.substr(0, 511);

XoltLogHeader parsed(const std::string& line, uint32_t& result) {
  XoltLogHeader header{};
  header.tz_offset = -1;
  result = parse_header_line(line.c_str(), header);
  return header;
}

std::string formatted(const XoltLogHeader& header) {
  std::array<char, kHeaderLineCapacity> out;
  return std::string(out.data(), format_header_line(header, out));
}

TEST(HeaderLine, FormatsEveryTableVersionAndParsesItBack) {
  const struct { uint32_t version; std::string line; } cases[] = {
      {65543, "$Header 65543,12,100,1773480605,-3600,alpha\n"},
      {65544, "$Header 65544,-3600,alpha\n"},
      {65540, "$Header 65540,12,100,1773480605,alpha\n"},
      {65542, "$Header 65542,12,100,1773480605,alpha\n"},
      {65539, ""},
      {65545, ""},
  };
  for (const auto& c : cases) {
    XoltLogHeader header = make_header({12, 100, false}, 1773480605, -3600, "alpha");
    header.version = c.version;
    EXPECT_EQ(formatted(header), c.line);
    uint32_t result = 1;
    EXPECT_TRUE(c.line.empty() || formatted(parsed(c.line, result)) == c.line) << c.line;
  }
  XoltLogHeader full = make_header({1, 2, true}, 0, 0, kLongHost);
  std::memset(full.host_name, 'h', sizeof full.host_name);  // no terminator at all
  EXPECT_EQ(formatted(full), "$Header 65544,0," + kCutHost + "\n");
}

std::string fields(const XoltLogHeader& h) {
  return std::to_string(h.version) + " " + std::to_string(h.product_id) + " " +
         std::to_string(h.originator_id) + " " + std::to_string(h.creation_time) + " " +
         std::to_string(h.tz_offset) + " " + h.host_name;
}

// What a line holds for its version is read, as far as its fields read; the
// rest keeps the cleared values, the offset -1.
TEST(HeaderLine, ParsesByVersion) {
  const struct { std::string line; uint32_t result; std::string fields; } cases[] = {
      {"$Header 65543,12,100,1773480605,-3600,alpha", 0, "65543 12 100 1773480605 -3600 alpha"},
      {"$Header 65544,-3600,alpha", 0, "65544 0 0 0 -3600 alpha"},
      {"$Header 65544,4294963696," + kLongHost, 0, "65544 0 0 0 -3600 " + kCutHost},
      {"$Header 65541,7,8,9,beta gamma", 0, "65541 7 8 9 -1 beta"},
      {" $Header\t65543,12,oops,1,2,h", 0, "65543 12 0 0 -1 "},
      {"$Header 65543,99999999999,-5,-99999999999999999999,99999999999,h", 0,
       "65543 4294967295 4294967291 -9223372036854775808 2147483647 h"},
      {"$Header 65539,1,2,3,x", 48, "0 0 0 0 -1 "},
      {"$Header 65545,-3600,alpha", 48, "0 0 0 0 -1 "},
      {"$Header x", 48, "0 0 0 0 -1 "},
      {"$Headerx 65543,1,2,3,4,h", 1, "0 0 0 0 -1 "},
      {"", 1, "0 0 0 0 -1 "},
  };
  for (const auto& c : cases) {
    uint32_t result = 0;
    EXPECT_EQ(fields(parsed(c.line, result)), c.fields) << c.line;
    EXPECT_EQ(result, c.result) << c.line;
  }
}

TEST(NewHeader, TakesNowItsZoneOffsetAndTheHostName) {
  const struct {
    const char* rule;
    int64_t now;  // 2026-03-14, 2026-01-01, 2026-07-02
    bool logset;
    int32_t offset;
  } cases[] = {
      {"EET-2", 1773480605, false, -7200},
      {"EST5EDT,M3.2.0,M11.1.0", 1767225600, true, 18000},
      {"CET-1CEST,M3.5.0,M10.5.0/3", 1782993600, false, -7200},
  };
  char host[XOLTLOG_HOST_NAME_SIZE] = {};
  ASSERT_TRUE(platform::local_host_name(host, sizeof host));
  for (const auto& c : cases) {
    setenv("TZ", c.rule, 1);
    tzset();
    const test::FakeClock clock(c.now, 999999999);
    XoltLogHeader header{};
    EXPECT_TRUE(fill_new_header(header, {12, 100, c.logset}));
    EXPECT_EQ(header.version, c.logset ? 65544u : 65543u);
    EXPECT_EQ(header.creation_time, c.now);
    EXPECT_EQ(header.tz_offset, c.offset) << c.rule;
    EXPECT_STREQ(header.host_name, host);
  }
  unsetenv("TZ");
  tzset();
}

}  // namespace
