// xoltlog show on log files named on the command line: text and JSON lines
// read back field by field, time bounds, record filters, damaged and
// truncated records, files that cannot be read.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/other_user.h"
#include "support/temp_dir.h"
#include "tools/run_tool.h"

namespace xoltlog::test {
namespace {

using nlohmann::json;

constexpr const char* kName = "12-3-1-260310-0000000000.log";
constexpr std::int64_t kMarch10Ms = 1773136800000;  // 2026-03-10 10:00:00 UTC
constexpr std::int64_t kFiveMinutes = 300000;

std::string at(int minutes5, const char* rest_after_time) {
  return std::to_string(kMarch10Ms + minutes5 * kFiveMinutes) + rest_after_time;
}

// One record of every kind, a catalog message, a text that is not UTF-8
// and holds a line feed (a carriage return in the file), then a damaged
// line and a last line that has no line end yet.
std::string file_content() {
  return "$Header 65543,12,3,1773136800,-3600,alpha\n"
         "2,12,3,3,1," + at(0, ",100,200,0:,9:Disk full,3:svc,1,(0|)\n") +
         "1,12,3,3,2," + at(1, ",100,201,4:ctx7,8:tab\there,2:db,2,(0|)\n") +
         "0,12,3,3,3," + at(2, ",101,202,0:,5:retry,4:main,3\n") +
         "3,12,3,3,4," + at(3, ",101,202,0:,5:begin,6:import,(0|)\n") +
         "4,12,3,3,5," + at(4, ",101,202,0:,6:denied,4:root,1,(0|)\n") +
         "2,12,3,3,6," + at(5, ",101,203,0:,0:,3:svc,0,(1234|S3:abc|u64:42|)\n") +
         "2,12,3,3,7," + at(6, ",101,203,0:,12:bad\xffline\rtwo,3:svc,2,(0|)\n") +
         "2,12,3,3,8,soon,101,203,0:,0:,3:svc,0,(0|)\n"
         "2,12,3,3,9,17731";
}

struct Expected {
  int line;
  const char* kind;
  const char* level;
  json severity;
  json verbosity;
  const char* who;
  const char* context;
  const char* timestamp;  // in the zone CET-1
  const char* text_line;  // the text form after its time and zone
};

const Expected kRecords[] = {
    {2, "application", "warning", "warning", nullptr, "svc", "",
     "2026-03-10T11:00:00.000+01:00", "app/warning 12/3 svc Disk full"},
    {3, "diagnostic", "debug", nullptr, 2, "db", "ctx7", "2026-03-10T11:05:00.000+01:00",
     "diag/2 12/3 db [ctx7] tab\\there"},
    {4, "debug", "debug", nullptr, 3, "main", "", "2026-03-10T11:10:00.000+01:00",
     "debug/3 12/3 main retry"},
    {5, "context", "info", nullptr, nullptr, "import", "", "2026-03-10T11:15:00.000+01:00",
     "context 12/3 import begin"},
    {6, "audit", "warning", nullptr, nullptr, "root", "", "2026-03-10T11:20:00.000+01:00",
     "audit/failure 12/3 root denied"},
    {7, "application", "info", "information", nullptr, "svc", "",
     "2026-03-10T11:25:00.000+01:00", nullptr},
    {8, "application", "error", "error", nullptr, "svc", "", "2026-03-10T11:30:00.000+01:00",
     "app/error 12/3 svc bad\\xffline\\ntwo"},
};

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class ToolShow : public ::testing::Test {
 protected:
  void SetUp() override {
    chmod(dir_.path().c_str(), 0755);
    std::ofstream(path_, std::ios::binary) << file_content();
    env_.emplace_back("TZ", "CET-1");
    env_.emplace_back("XOLTLOG_CFG_LOC", dir_.file("none.conf"));
  }
  ToolRun show(std::vector<std::string> args) const {
    args.insert(args.begin(), "show");
    return run_tool(args, env_);
  }
  // The sequence numbers of the records a JSON run showed.
  std::vector<int> sequences(std::vector<std::string> args) const {
    args.push_back("--json");
    args.push_back(path_);
    const ToolRun run = show(args);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    std::vector<int> shown;
    for (const std::string& line : lines_of(run.out)) {
      const json value = json::parse(line);
      if (!value.contains("damaged")) shown.push_back(value["sequence"].get<int>());
    }
    return shown;
  }

  TempDir dir_;
  std::string path_ = dir_.file(kName);
  ToolEnv env_;
};

TEST_F(ToolShow, JsonLinesCarryEveryFieldAndDamagedLinesSaySo) {
  const ToolRun run = show({"--json", path_});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::vector<std::string> lines = lines_of(run.out);
  ASSERT_EQ(lines.size(), std::size(kRecords) + 2) << run.out;
  for (std::size_t i = 0; i < std::size(kRecords); ++i) {
    const Expected& e = kRecords[i];
    SCOPED_TRACE(e.line);
    const json value = json::parse(lines[i]);  // throws on invalid JSON or UTF-8
    EXPECT_EQ(value["line"], e.line);
    EXPECT_EQ(value["sequence"], e.line - 1);
    EXPECT_EQ(value["kind"], e.kind);
    EXPECT_EQ(value["level"], e.level);
    EXPECT_EQ(value["severity"], e.severity);
    EXPECT_EQ(value["verbosity"], e.verbosity);
    EXPECT_EQ(value["who"], e.who);
    EXPECT_EQ(value["context"], e.context);
    EXPECT_EQ(value["timestamp"], e.timestamp);
    EXPECT_EQ(value["host"], "alpha");
    EXPECT_EQ(value["product"], 12);
    EXPECT_EQ(value["originator"], 3);
    EXPECT_EQ(value["pid"], e.line < 4 ? 100 : 101);
    EXPECT_EQ(value["file"], path_);
    EXPECT_EQ(value["logset"], nullptr);
  }
  EXPECT_EQ(json::parse(lines[0])["message"], "Disk full");
  EXPECT_EQ(json::parse(lines[1])["tid"], 201);
  EXPECT_EQ(json::parse(lines[6])["message"], "bad\xEF\xBF\xBDline\ntwo");
  const json catalog = json::parse(lines[5]);
  EXPECT_EQ(catalog["catalog_id"], 1234);
  EXPECT_NE(catalog["message"].get<std::string>().find("abc"), std::string::npos);
  EXPECT_NE(catalog["message"].get<std::string>().find("42"), std::string::npos);
  const json damaged = json::parse(lines[7]), truncated = json::parse(lines[8]);
  EXPECT_EQ(damaged["damaged"], true);
  EXPECT_EQ(damaged["line"], 9);
  EXPECT_EQ(damaged["raw"], "2,12,3,3,8,soon,101,203,0:,0:,3:svc,0,(0|)");
  EXPECT_EQ(truncated["damaged"], true);
  EXPECT_EQ(truncated["line"], 10);
}

TEST_F(ToolShow, TextLinesShowLocalTimeZoneKindWhoContextAndEscapedText) {
  const ToolRun run = show({path_});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::vector<std::string> lines = lines_of(run.out);
  ASSERT_EQ(lines.size(), std::size(kRecords) + 2) << run.out;
  for (std::size_t i = 0; i < std::size(kRecords); ++i) {
    const Expected& e = kRecords[i];
    std::string time = std::string(e.timestamp).substr(0, 23) + " +0100 ";
    time[10] = ' ';
    EXPECT_EQ(lines[i].rfind(time, 0), 0u) << lines[i];
    if (e.text_line != nullptr) {
      EXPECT_EQ(lines[i].substr(time.size()), e.text_line);
    }
  }
  EXPECT_EQ(lines[7], path_ + ":9: damaged record: expected a number (byte 11)");
  EXPECT_NE(lines[8].find(":10: damaged record: incomplete last line"), std::string::npos);
}

TEST_F(ToolShow, TimeBoundsInLocalTimeOrWithAZoneIncludeBothEnds) {
  const struct {
    std::vector<std::string> args;
    std::vector<int> shown;
  } kCases[] = {
      {{"--since", "2026-03-10 11:05"}, {2, 3, 4, 5, 6, 7}},
      {{"--until", "2026-03-10T10:05:00Z"}, {1, 2}},
      {{"--since", "2026-03-10 11:10:00", "--until", "2026-03-10 10:20:00+00:00"}, {3, 4, 5}},
      {{"--since", "2026-03-10 12:25"}, {}},
      {{"--where", "kind = audit or who = db"}, {2, 5}},
      {{"--where", "severity >= warning", "--since", "2026-03-10 11:01"}, {7}},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(sequences(c.args), c.shown) << ::testing::PrintToString(c.args);
  }
}

TEST_F(ToolShow, BadTimesAndExpressionsAreRefusedWithTheirCodes) {
  const struct {
    std::vector<std::string> args;
    int code;
    const char* says;
  } kCases[] = {
      {{"--since", "around noon", path_}, 3, "bad --since time"},
      {{"--until", "2026-13-45 10:00", path_}, 3, "bad --until time"},
      {{"--where", "severity >=", path_}, 3, "column"},
      {{}, 2, "nothing to show"},
      {{"--product", "p12", path_}, 2, "not both"},
  };
  for (const auto& c : kCases) {
    const ToolRun run = show(c.args);
    EXPECT_EQ(run.exit_code, c.code) << ::testing::PrintToString(c.args) << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
}

TEST_F(ToolShow, FilesThatCannotBeReadAreNamedAndTheOthersStillShown) {
  const std::string secret = dir_.file("12-3-1-260311-0000000000.log");
  const std::string not_log = dir_.file("notes.log");
  std::ofstream(secret) << file_content();
  chmod(secret.c_str(), 0600);
  std::ofstream(not_log) << "just some words\n";
  const struct {
    std::string file;
    const char* says;
  } kCases[] = {
      {secret, "Permission denied"},
      {dir_.file("gone.log"), "No such file"},
      {not_log, "no log file header"},
  };
  for (const auto& c : kCases) {
    const ToolRun run = run_tool({"show", "--json", c.file, path_}, env_, {}, kOtherUser);
    EXPECT_EQ(run.exit_code, 7) << c.file;
    EXPECT_NE(run.err.find(c.file + ": " + c.says), std::string::npos) << run.err;
    EXPECT_EQ(lines_of(run.out).size(), std::size(kRecords) + 2) << c.file;
  }
}

// One record line per case, its text or who given as raw bytes.
std::string one_record(const std::string& text, const std::string& who = "svc") {
  return "$Header 65543,12,3,1773136800,-3600,alpha\n2,12,3,3,1," +
         at(0, ",100,200,0:,") + std::to_string(text.size()) + ":" + text + "," +
         std::to_string(who.size()) + ":" + who + ",0,(0|)\n";
}

TEST_F(ToolShow, AnyBytesBecomeValidJsonThatReadsBackAsTheirText) {
  const struct {
    std::string bytes;
    std::string read_back;
  } kCases[] = {
      {"quote \" and backslash \\ and slash /", "quote \" and backslash \\ and slash /"},
      {"soh\x01" "bell\x07" "del\x7f" "esc\x1b", "soh\x01" "bell\x07" "del\x7f" "esc\x1b"},
      {"tab\tcr\rback\bform\f", "tab\tcr\nback\bform\f"},  // a carriage return reads as a line feed
      {"\xc3\xa9t\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80",
       "\xc3\xa9t\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},
      {"overlong \xc0\xaf", "overlong \xef\xbf\xbd\xef\xbf\xbd"},
      {"surrogate \xed\xa0\x80!", "surrogate \xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd!"},
      {"cut \xe2\x82", "cut \xef\xbf\xbd\xef\xbf\xbd"},
      {"beyond \xf4\x90\x80\x80", "beyond \xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},
      {std::string(100, 'a') + "\"" + std::string(9, 'b'),
       std::string(100, 'a') + "\"" + std::string(9, 'b')},
  };
  for (const auto& c : kCases) {
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << one_record(c.bytes, c.bytes);
    const ToolRun run = show({"--json", path_});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const json value = json::parse(run.out);
    EXPECT_EQ(value["message"], c.read_back) << run.out;
    EXPECT_EQ(value["who"], c.read_back) << run.out;
  }
}

TEST_F(ToolShow, LinesThatAreNotRecordsAreShownDamagedWithTheReadersReason) {
  const std::string head = "2,12,3,3,1," + std::to_string(kMarch10Ms) + ",100,200,";
  const struct {
    std::string line;
    const char* reason;
  } kCases[] = {
      {head + "0:,2:ok,3:svc,5,(0|)", "severity"},
      {head + "0:,2:ok,3:svc,0,(0|)tail", "after the last field"},
      {head + "0:,9:ok,3:svc,0,(0|)", ""},
      {std::string("2,12,3,3,1,1773136800000,100,200,0:,3:a\0b,3:svc,0,(0|)", 55), "NUL"},
      {"5,12,3,3,1," + std::to_string(kMarch10Ms) + ",100,200,0:,2:ok,3:svc,0,(0|)", ""},
      {"2,12,3,3,4294967296," + std::to_string(kMarch10Ms) + ",1,2,0:,2:ok,3:svc,0,(0|)", "range"},
      {head + "0:,2:ok,3:svc,0,(0|", ""},
      {head + "0:,2:ok,3:svc,0,", ""},
  };
  for (const auto& c : kCases) {
    std::ofstream(path_, std::ios::binary | std::ios::trunc)
        << "$Header 65543,12,3,1773136800,-3600,alpha\n" << c.line << "\n";
    const ToolRun run = show({"--json", path_});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const json value = json::parse(run.out);
    EXPECT_EQ(value.value("damaged", false), true) << c.line;
    EXPECT_NE(value.value("reason", std::string()).find(c.reason), std::string::npos) << run.out;
  }
}

TEST_F(ToolShow, ALogsetRecordTakesItsProductAndLogsetFromTheFileName) {
  const std::string logset = dir_.file("12-nightly-260310093000.log");
  std::ofstream(logset, std::ios::binary)
      << "$Header 65544,-3600,beta\n2,3,9," << kMarch10Ms << ",100,200,0:,2:ok,3:svc,0,(0|)\n";
  const ToolRun run = show({"--json", logset});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const json value = json::parse(run.out);
  EXPECT_EQ(value["product"], 12);
  EXPECT_EQ(value["originator"], 3);
  EXPECT_EQ(value["sequence"], 9);
  EXPECT_EQ(value["logset"], "nightly");
  EXPECT_EQ(value["host"], "beta");
  EXPECT_EQ(value["timestamp"], "2026-03-10T11:00:00.000+01:00");
}

TEST_F(ToolShow, AClosedReaderEndsTheToolQuietly) {
  std::string many = "$Header 65543,12,3,1773136800,-3600,alpha\n";
  for (int i = 0; i < 50000; ++i) {
    many += "2,12,3,3,1," + at(0, ",100,200,0:,4:many,3:svc,0,(0|)\n");
  }
  std::ofstream(path_, std::ios::binary | std::ios::trunc) << many;
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t child = fork();
  if (child == 0) {
    dup2(fds[1], 1);
    close(fds[0]);
    execl(tool_path(), tool_path(), "show", path_.c_str(), nullptr);
    _exit(127);
  }
  close(fds[1]);
  char some[100];
  EXPECT_GT(read(fds[0], some, sizeof some), 0);
  close(fds[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace xoltlog::test
