// xoltlog log end to end: messages of every kind land in the product's log
// file; mistakes get a message, a hint and the documented exit code.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>

#include <string>
#include <vector>

#include "tools/tool_fixture.h"

namespace xoltlog::test {
namespace {

class LogCommand : public ToolStore {
 protected:
  void SetUp() override {
    ToolStore::SetUp();
    register_product();
    for (const char* key : {"DebugLevel", "DiagnosticLevel"}) {
      ASSERT_EQ(run({"config", "set", "crm", key, "6"}).exit_code, 0);
    }
    ASSERT_EQ(run({"config", "set", "crm", "-o", "5", "OIDNames", "worker"}).exit_code, 0);
  }

  // The record lines that hold part.
  std::vector<std::string> lines_with(const std::string& part) const {
    std::vector<std::string> found;
    for (const std::string& line : log_lines()) {
      if (line.find(part) != std::string::npos) found.push_back(line);
    }
    return found;
  }
};

struct Logged {
  std::vector<std::string> args;
  const char* input;
  const char* start;  // type, product, originator
  std::vector<const char*> parts;  // one record per part, in this order
};

TEST_P(LogCommand, WritesEveryKindToTheLogFile) {
  const Logged cases[] = {
      {{"-p", "crm", "hello", "world"}, "", "2,4711,112,", {"11:hello world,0:,0,"}},
      {{"-p", "4711", "-s", "warning", "-w", "me", "warned"}, "", "2,4711,112,",
       {"6:warned,2:me,1,"}},
      {{"-p", "crm", "-k", "diag", "--level", "3", "-w", "cron", "nightly"}, "", "1,4711,112,",
       {"7:nightly,4:cron,3,"}},
      {{"-p", "crm", "--kind", "debug", "--level", "6", "deep"}, "", "0,4711,112,",
       {"4:deep,0:,6"}},
      {{"-p", "crm", "-k", "audit", "--id", "77", "--subject", "bob", "--outcome", "failure",
        "login"},
       "", "4,4711,112,", {"3:bob,1,(77|S5:login|)"}},
      {{"-p", "crm", "-o", "worker"}, "first line\n\nsecond line\r\n", "2,4711,5,",
       {"10:first line,", "11:second line,"}},
  };
  for (const Logged& logged : cases) {
    std::vector<std::string> args{"log"};
    args.insert(args.end(), logged.args.begin(), logged.args.end());
    const ToolRun result = run(args, logged.input);
    SCOPED_TRACE(logged.args.back());
    EXPECT_EQ(result.exit_code, 0) << result.err;
    for (const char* part : logged.parts) {
      const std::vector<std::string> lines = lines_with(part);
      ASSERT_EQ(lines.size(), 1u) << part;
      EXPECT_EQ(lines[0].rfind(logged.start, 0), 0u) << lines[0];
    }
  }
  EXPECT_EQ(log_lines().size(), 7u);  // the empty input line is no message
}

// A pipe from a program that keeps running: each line is logged when it
// arrives, not when the pipe closes.
TEST_P(LogCommand, LogsEachLineOfAPipeAsItArrives) {
  std::string unset;
  std::string set;
  for (const auto& [name, value] : env()) {
    (value ? set : unset) += value ? " " + name + "='" + *value + "'" : " -u " + name;
  }
  const std::string command = "exec env" + unset + set + " '" + tool_path() + "' log -p crm";
  FILE* pipe = popen(command.c_str(), "w");
  ASSERT_NE(pipe, nullptr);
  std::fputs("still running\n", pipe);
  std::fflush(pipe);
  bool seen = false;
  for (int tries = 0; tries < 500 && !seen; ++tries) {
    seen = !lines_with("13:still running,").empty();
    if (!seen) usleep(10000);
  }
  EXPECT_TRUE(seen);
  EXPECT_EQ(pclose(pipe), 0);
}

struct Mistake {
  std::vector<std::string> args;
  int exit_code;
  const char* message;
};

TEST_P(LogCommand, MistakesGetAMessageAndNothingIsLogged) {
  ASSERT_EQ(run({"config", "register", "12", "bare"}).exit_code, 0);
  ASSERT_EQ(run({"config", "set", "crm", "-o", "7", "DebugLevel", "1"}).exit_code, 0);
  const Mistake mistakes[] = {
      {{"-p", "999", "x"}, 4, "not registered"},
      {{"-p", "nosuch", "x"}, 4, "no registered product"},
      {{"-p", "crm", "-o", "nosuch", "x"}, 4, "no originator named"},
      {{"-p", "bare", "x"}, 6, "LogDirectory"},
      {{"-p", "crm", "-k", "audit", "x"}, 2, "--id"},
      {{"-p", "crm", "-k", "notice", "x"}, 2, "app, diag, debug or audit"},
      {{"-p", "crm", "-s", "loud", "x"}, 2, "info, warning, error"},
      {{"-p", "crm", "-k", "diag", "--level", "7", "x"}, 2, "1 to 6"},
      {{"-p", "crm", "-k", "audit", "--id", "5", "--outcome", "maybe", "x"}, 2, "success or"},
      {{"-p", "crm", "-o", "7", "-k", "debug", "--level", "2", "x"}, 0, "not logged"},
      {{"x"}, 2, "--product"},
  };
  for (const Mistake& mistake : mistakes) {
    std::vector<std::string> args{"log"};
    args.insert(args.end(), mistake.args.begin(), mistake.args.end());
    const ToolRun result = run(args);
    SCOPED_TRACE(mistake.args.back() + " " + mistake.message);
    EXPECT_EQ(result.exit_code, mistake.exit_code) << result.err;
    EXPECT_NE(result.err.find(mistake.message), std::string::npos) << result.err;
  }
  EXPECT_TRUE(log_lines().empty());
}

INSTANTIATE_TEST_SUITE_P(Backends, LogCommand,
                         ::testing::Values(ToolBackend::kStoreFile, ToolBackend::kRegistry),
                         backend_name);

}  // namespace
}  // namespace xoltlog::test
