// xoltlog show reads a file in large blocks and cuts the lines itself: every
// record comes out whole and in order wherever the block boundaries fall,
// including a record longer than a block and records whose text holds line
// feeds (carriage returns in the file).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "tools/run_tool.h"

namespace xoltlog::test {
namespace {

using nlohmann::json;

// The text of record n: lengths that shift the line ends against every
// block size, a line feed in every seventh, one text of 300 000 bytes.
std::string text_of(int n) {
  if (n == 1500) return std::string(300000, 'x');
  std::string text =
      "record " + std::to_string(n) + ' ' +
      std::string(static_cast<std::size_t>(n * 37 % 211), static_cast<char>('a' + n % 26));
  if (n % 7 == 0) text += "\rsecond line";
  return text;
}

TEST(ToolShowBlocks, EveryRecordOfAFileLargerThanItsReadBlocksComesOutWholeAndInOrder) {
  TempDir dir;
  chmod(dir.path().c_str(), 0755);
  const std::string path = dir.file("12-3-1-260310-0000000000.log");
  constexpr int kRecords = 3000;
  {
    std::ofstream out(path, std::ios::binary);
    out << "$Header 65543,12,3,1773136800,-3600,alpha\n";
    for (int n = 0; n < kRecords; ++n) {
      const std::string text = text_of(n);
      out << "2,12,3,3," << n << ",1773136800000,100,200,0:," << text.size() << ':' << text
          << ",3:svc,0,(0|)\n";
    }
  }
  const ToolRun run = run_tool({"show", "--json", path}, {{"XOLTLOG_CFG_LOC", dir.file("x.conf")}});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  std::istringstream lines(run.out);
  int n = 0;
  for (std::string line; std::getline(lines, line); ++n) {
    const json value = json::parse(line);
    ASSERT_LT(n, kRecords);
    std::string expected = text_of(n);
    for (char& c : expected) c = c == '\r' ? '\n' : c;
    ASSERT_EQ(value["sequence"], n);
    ASSERT_EQ(value["line"], n + 2);
    ASSERT_EQ(value["message"], expected) << "record " << n;
  }
  EXPECT_EQ(n, kRecords);
}

}  // namespace
}  // namespace xoltlog::test
