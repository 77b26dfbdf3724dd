// The tool as one whole: help for every command, --store wherever it
// stands, what to do next after every failure, and names resolved the same
// way by every command.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/other_user.h"
#include "tools/tool_fixture.h"

namespace xoltlog::test {
namespace {

using Args = std::vector<std::string>;

std::string joined(const Args& args) {
  std::string text;
  for (const std::string& arg : args) text += (text.empty() ? "" : " ") + arg;
  return text;
}

TEST(ToolHelp, EveryCommandDescribesItselfAndTakesTheStore) {
  const std::vector<Args> commands = {
      {},           {"config"},          {"config", "register"}, {"config", "remove"},
      {"config", "list"}, {"config", "show"}, {"config", "set"},  {"config", "unset"},
      {"log"},      {"files"},           {"show"},               {"copy"},
      {"delete"}};
  for (const Args& command : commands) {
    SCOPED_TRACE(joined(command));
    Args args = command;
    args.push_back("--help");
    const ToolRun help = run_tool(args);
    EXPECT_EQ(help.exit_code, 0) << help.err;
    EXPECT_NE(help.out.find("Usage"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--store"), std::string::npos) << help.out;
    if (!command.empty()) {
      EXPECT_NE(help.out.find("xoltlog " + joined(command)), std::string::npos) << help.out;
    }
  }
}

class ToolCommands : public ToolStore {};

// A store named after the command, where a user is as likely to put it as
// before the command, wins over the environment's for every command.
TEST_P(ToolCommands, StoreOptionAfterTheCommandOverridesTheEnvironment) {
  register_product();
  const std::string missing = store_file() ? root_.file("none/x.conf") : "SOFTWARE\\none";
  const std::vector<Args> commands = {
      {"config", "list"},
      {"config", "show", "crm"},
      {"config", "set", "crm", "DebugLevel", "2"},
      {"config", "unset", "crm", "DebugLevel"},
      {"config", "remove", "crm"},
      {"log", "-p", "crm", "text"},
      {"files", "-p", "crm"},
      {"show", "-p", "crm"},
      {"copy", "--to", logs(), "-p", "crm"},
      {"delete", "-p", "crm"}};
  for (const Args& command : commands) {
    SCOPED_TRACE(joined(command));
    Args args = command;
    args.insert(args.end(), {"--store", missing});
    const ToolRun moved = run(args);
    EXPECT_EQ(moved.exit_code, 6) << moved.err;
    EXPECT_NE(moved.err.find(missing), std::string::npos) << moved.err;
    EXPECT_NE(moved.err.find("\n  "), std::string::npos) << "no hint: " << moved.err;
  }
  EXPECT_EQ(run({"config", "list"}).exit_code, 0) << "the product went with a wrong store";
}

// Every refusal says what went wrong and, on the next line, what to do.
TEST_P(ToolCommands, EveryFailureHasItsCodeAndAHint) {
  register_product();
  struct Case {
    Args args;
    int code;
  };
  const std::vector<Case> cases = {
      {{}, 2},
      {{"frobnicate"}, 2},
      {{"files", "--bogus"}, 2},
      {{"log", "--level", "high", "-p", "crm", "x"}, 2},
      {{"config", "set", "crm"}, 2},
      {{"config", "register", "abc", "x"}, 2},
      {{"config", "register", "5", "x", "--key", "a.conf"}, 2},
      {{"config", "set", "crm", "NoSuchKey", "1"}, 4},
      {{"config", "set", "crm", "DebugLevel", "9"}, 5},
      {{"config", "show", "nosuch"}, 4},
      {{"log", "-p", "crm", "-k", "diag", "--level", "9", "x"}, 2},
      {{"log", "-p", "crm", "-o", "nosuch", "x"}, 4},
      {{"files", "-o", "3"}, 2},
      {{"files", "-p", "crm", "-o", "3", "-l", "weekly"}, 2},
      {{"files", "-p", "nosuch"}, 4},
      {{"files", "-p", "crm", "-o", "nosuch"}, 4},
      {{"files", "--where", "host ="}, 3},
      {{"show", "-p", "crm", "--since", "soon"}, 3},
      {{"copy", "--to", root_.file("none"), "-p", "crm"}, 4},
      {{"delete"}, 2},
      {{"delete", "-p", "crm", "--older-than", "soon"}, 3}};
  for (const Case& row : cases) {
    SCOPED_TRACE(joined(row.args));
    const ToolRun failed = run(row.args);
    EXPECT_EQ(failed.exit_code, row.code) << failed.err;
    EXPECT_EQ(failed.err.rfind("xoltlog: ", 0), 0u) << failed.err;
    EXPECT_NE(failed.err.find("\n  "), std::string::npos) << "no hint: " << failed.err;
  }
}

// A store file that is there but that the user may not change is not
// called missing: the hint is about permission.
TEST_P(ToolCommands, AStoreTheUserMayNotChangeIsReportedAsSuch) {
  if (!store_file()) GTEST_SKIP() << "the registry's keys are the library's to lay out";
  register_product();
  // The other user may read all of it, and change none of it.
  namespace fs = std::filesystem;
  const auto readable = fs::perms::others_read | fs::perms::others_exec;
  fs::permissions(root_.path(), readable, fs::perm_options::add);
  for (const auto& entry : fs::recursive_directory_iterator(root_.path())) {
    fs::permissions(entry.path(), readable, fs::perm_options::add);
  }
  for (const Args& args : std::vector<Args>{{"config", "register", "5", "x"},
                                            {"config", "remove", "crm"}}) {
    SCOPED_TRACE(joined(args));
    const ToolRun refused = run_tool(args, env(), {}, kOtherUser);
    EXPECT_EQ(refused.exit_code, 6) << refused.err;
    EXPECT_NE(refused.err.find("permission"), std::string::npos) << refused.err;
  }
  EXPECT_EQ(run({"config", "show", "crm"}).exit_code, 0) << "the product was removed";
}

// "Default" names the product's Default section in files and show as it
// does in log and config.
TEST_P(ToolCommands, DefaultOriginatorIsNamedTheSameByEveryCommand) {
  register_product();
  ASSERT_EQ(run({"log", "-p", "crm", "-o", "Default", "hello", "there"}).exit_code, 0);
  for (const char* name : {"Default", "default", "112"}) {
    SCOPED_TRACE(name);
    const ToolRun files = run({"files", "-p", "crm", "-o", name});
    EXPECT_EQ(files.exit_code, 0) << files.err;
    EXPECT_NE(files.out.find(logs()), std::string::npos) << files.out;
    const ToolRun shown = run({"show", "-p", "crm", "-o", name});
    EXPECT_EQ(shown.exit_code, 0) << shown.err;
    EXPECT_NE(shown.out.find("hello there"), std::string::npos) << shown.out;
  }
}

INSTANTIATE_TEST_SUITE_P(Backends, ToolCommands,
                         ::testing::Values(ToolBackend::kStoreFile, ToolBackend::kRegistry),
                         backend_name);

}  // namespace
}  // namespace xoltlog::test
