// xoltlog show over a product's series as a writer process leaves it: in
// time order across its files, and followed while the writer goes on
// through rollovers and recycling; a line being written is shown only once
// it is complete.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <set>

#include "tools/run_tool.h"
#include "tools/series_fixture.h"

namespace xoltlog::test {
namespace {

using nlohmann::json;
using ToolShowSeries = SeriesFixture;

std::vector<int> markers_in(const std::vector<std::string>& lines, std::set<std::string>* files) {
  std::vector<int> markers;
  for (const std::string& line : lines) {
    const json value = json::parse(line);
    EXPECT_FALSE(value.contains("damaged")) << line;
    if (files != nullptr) files->insert(value.value("file", ""));
    markers.push_back(std::stoi(value.value("message", "").substr(7, 6)));
  }
  return markers;
}

std::vector<int> missing(const std::vector<int>& shown, int count) {
  const std::set<int> seen(shown.begin(), shown.end());
  std::vector<int> absent;
  for (int k = 0; k < count; ++k) {
    if (seen.count(k) == 0) absent.push_back(k);
  }
  return absent;
}

std::vector<int> range(int count) {
  std::vector<int> all(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) all[static_cast<std::size_t>(k)] = k;
  return all;
}

TEST_F(ToolShowSeries, ASeriesIsShownOldestFileFirstAndFollowedAcrossRolloverAndRecycling) {
  write(0, 60, 0);
  const ToolRun listed = run_tool({"show", "--json", "--product", "shop", "--originator", "4"});
  ASSERT_EQ(listed.exit_code, 0) << listed.err;
  std::set<std::string> first_files;
  EXPECT_EQ(markers_in(lines_of(listed.out), &first_files), range(60));
  EXPECT_GE(first_files.size(), 2u) << "the series did not roll over";

  const std::string out = root_.file("follow.json");
  Running follower({"show", "--json", "--follow", "--product", "shop", "--originator", "4"}, out);
  ASSERT_TRUE(poll_until([&] { return lines_of(read_file(out)).size() >= 60; },
                         std::chrono::seconds(10)));
  write(60, 400, 2000);
  EXPECT_TRUE(poll_until([&] { return lines_of(read_file(out)).size() >= 460; },
                         std::chrono::seconds(15)));
  EXPECT_EQ(follower.stop(SIGINT), 0);
  std::set<std::string> files;
  const std::vector<int> shown = markers_in(lines_of(read_file(out)), &files);
  EXPECT_EQ(shown, range(460)) << "missing: " << ::testing::PrintToString(missing(shown, 460));
  std::size_t gone = 0;
  for (const std::string& file : files) gone += std::filesystem::exists(file) ? 0u : 1u;
  EXPECT_GT(files.size(), 8u);
  EXPECT_GT(gone, 0u) << "recycling deleted no file while it was followed";
}

TEST_F(ToolShowSeries, ALineBeingWrittenIsShownOnceItEnds) {
  const std::string path = logs_ + "/21-4-1-260310-0000000000.log";
  const std::string record = "2,21,4,4,1,1773136800000,1,2,0:,4:half,1:w,0,(0|)\n";
  std::ofstream(path, std::ios::binary) << "$Header 65543,21,4,1773136800,0,alpha\n";
  const std::string out = root_.file("follow.txt");
  Running follower({"show", "--json", "--follow", path}, out);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  std::ofstream(path, std::ios::binary | std::ios::app) << record.substr(0, 20) << std::flush;
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(read_file(out), "");
  std::ofstream(path, std::ios::binary | std::ios::app) << record.substr(20) << std::flush;
  EXPECT_TRUE(poll_until([&] { return !read_file(out).empty(); }, std::chrono::seconds(5)));
  EXPECT_EQ(follower.stop(SIGTERM), 0);
  const std::vector<std::string> lines = lines_of(read_file(out));
  ASSERT_EQ(lines.size(), 1u) << read_file(out);
  EXPECT_EQ(json::parse(lines[0])["message"], "half");
}

}  // namespace
}  // namespace xoltlog::test
