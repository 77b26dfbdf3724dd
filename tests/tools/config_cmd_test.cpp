// xoltlog config end to end, on the store file and the registry.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "tools/tool_fixture.h"

namespace xoltlog::test {
namespace {

class ConfigCommand : public ToolStore {
 protected:
  nlohmann::json settings(const std::vector<std::string>& target) const {
    std::vector<std::string> args{"config", "show"};
    args.insert(args.end(), target.begin(), target.end());
    args.push_back("--json");
    const ToolRun shown = run(args);
    EXPECT_EQ(shown.exit_code, 0) << shown.err;
    return shown.exit_code == 0 ? nlohmann::json::parse(shown.out)["settings"] : nlohmann::json();
  }

  void set(const std::vector<std::string>& args) const {
    std::vector<std::string> full{"config", "set"};
    full.insert(full.end(), args.begin(), args.end());
    const ToolRun done = run(full);
    ASSERT_EQ(done.exit_code, 0) << done.err;
  }
};

struct Expected {
  const char* key;
  const char* value;  // null: unset
  const char* source;
};

void expect_settings(const nlohmann::json& settings, const std::vector<Expected>& table) {
  for (const Expected& row : table) {
    SCOPED_TRACE(row.key);
    const nlohmann::json& entry = settings[row.key];
    if (row.value == nullptr) {
      EXPECT_TRUE(entry["value"].is_null());
    } else {
      EXPECT_EQ(entry["value"], row.value);
    }
    EXPECT_EQ(entry["source"], row.source);
  }
}

TEST_P(ConfigCommand, ConfiguresAProductFromNothingAndTellsWhereEachValueCameFrom) {
  const ToolRun before = run({"config", "list"});
  EXPECT_EQ(before.exit_code, 6);
  EXPECT_NE(before.err.find("cannot be opened"), std::string::npos) << before.err;

  register_product();
  const ToolRun listed = run({"config", "list"});
  EXPECT_EQ(listed.exit_code, 0) << listed.err;
  EXPECT_NE(listed.out.find("4711  crm,CRM Server"), std::string::npos) << listed.out;

  set({"crm", "DebugLevel", "2"});
  set({"crm", "-o", "5", "OIDNames", "worker,Worker"});
  set({"crm", "-o", "worker", "DebugLevel", "4"});
  set({"4711", "-o", "worker", "RolloverAtLocalTime", "7:05"});
  set({"crm", "--originator", "5", "LogDirectory", "sub"});
  set({"crm", "-o", "5", "RolloverMode", "periodic|filesize"});
  // The same value as inherited, held by the section itself.
  set({"crm", "-o", "5", "LogToStdout", "false"});

  expect_settings(settings({"crm", "-o", "worker"}),
                  {{"DebugLevel", "4", "originator 5"},
                   {"DiagnosticLevel", "0", "default"},
                   {"LogDirectory", (logs() + "/sub/").c_str(), "originator 5"},
                   {"RolloverAtLocalTime", "07:05", "originator 5"},
                   {"RolloverMode", "FileSize | Periodic", "originator 5"},
                   {"LogToStdout", "false", "originator 5"},
                   {"OIDNames", "worker,Worker", "originator 5"},
                   // Setting other keys leaves the section's AppMsgLogging alone.
                   {"AppMsgLogging", "ON", "default"},
                   {"L10nLib", nullptr, "default"}});
  expect_settings(settings({"crm"}), {{"DebugLevel", "2", "Default section"},
                                      {"LogDirectory", (logs() + "/").c_str(), "Default section"}});

  const ToolRun text = run({"config", "show", "crm", "-o", "5"});
  EXPECT_NE(text.out.find("DebugLevel               4"), std::string::npos) << text.out;

  for (int round = 0; round < 2; ++round) {  // unsetting twice does no harm
    const ToolRun unset = run({"config", "unset", "crm", "-o", "5", "debuglevel"});
    EXPECT_EQ(unset.exit_code, 0) << unset.err;
  }
  expect_settings(settings({"crm", "-o", "5"}), {{"DebugLevel", "2", "Default section"},
                                                 {"RolloverAtLocalTime", "07:05", "originator 5"}});

  EXPECT_EQ(run({"config", "remove", "crm"}).exit_code, 0);
  // The registry drops its last product's store key with it.
  EXPECT_EQ(run({"config", "show", "4711"}).exit_code, store_file() ? 4 : 6);
}

TEST_P(ConfigCommand, KeepsLogsetSettingsApart) {
  register_product();
  set({"crm", "-l", "audit", "FileName", "aud"});
  set({"crm", "-l", "Default", "DebugLevel", "3"});
  set({"crm", "-l", "audit", "OIDDebugLogging", "5,7"});
  expect_settings(settings({"crm", "-l", "audit"}), {{"FileName", "aud", "logset audit"},
                                                    {"DebugLevel", "3", "Default logset"},
                                                    {"OIDDebugLogging", "5,7", "logset audit"}});
  const ToolRun listed = run({"config", "list", "--json"});
  const nlohmann::json products = nlohmann::json::parse(listed.out);
  ASSERT_EQ(products.size(), 1u);
  EXPECT_EQ(products[0]["logsets"], nlohmann::json({"Default", "audit"}));
  EXPECT_EQ(run({"config", "show", "crm", "-l", "none"}).exit_code, 4);
}

struct Refusal {
  std::vector<std::string> args;
  int exit_code;
  const char* message;
};

TEST_P(ConfigCommand, RefusesBadRequestsWithTheDocumentedExitCodeAndChangesNothing) {
  register_product();
  const Refusal refusals[] = {
      {{"set", "crm", "DebugLevel", "7"}, 5, "allowed: a level from 0 to 6"},
      {{"set", "crm", "DebugLevel", "two"}, 5, "allowed: a level from 0 to 6"},
      {{"set", "crm", "MaxLogFileSizeKB", "0"}, 5, "kilobytes from 1"},
      {{"set", "crm", "RolloverMode", "LocalTime|Periodic"}, 5, "exclude each other"},
      {{"set", "crm", "RolloverAtLocalTime", "24:00"}, 5, "hours 0 to 23"},
      {{"set", "crm", "NtEventLogCategory", "0"}, 5, "from 1 to 65535"},
      {{"set", "crm", "LogToStdout", "maybe"}, 5, "true or false"},
      {{"set", "crm", "OIDNames", "a\nb"}, 5, "refused value"},
      {{"set", "crm", "FileName", "x"}, 5, "not a setting of a product"},
      {{"set", "crm", "NoSuchKey", "1"}, 4, "no configuration key"},
      {{"show", "999"}, 4, "not registered"},
      {{"show", "nosuch"}, 4, "no registered product is named"},
      {{"show", "crm", "-o", "nosuch"}, 4, "no originator named"},
      {{"register", "4711", "again"}, 5, "already registered"},
      {{"register", "abc", "x"}, 2, "product id is a number"},
      {{"register", "12", "x", "--file", "/tmp/x.txt"}, 2, ".conf"},
      {{"register", "12", "x", "--file", "etc/x.conf"}, 2, "absolute path"},
      {{"frobnicate"}, 2, ""},
  };
  for (const Refusal& refusal : refusals) {
    std::vector<std::string> args{"config"};
    args.insert(args.end(), refusal.args.begin(), refusal.args.end());
    const ToolRun result = run(args);
    SCOPED_TRACE(refusal.args[0] + " " + refusal.args.back());
    EXPECT_EQ(result.exit_code, refusal.exit_code) << result.err;
    EXPECT_NE(result.err.find(refusal.message), std::string::npos) << result.err;
  }
  expect_settings(settings({"crm"}), {{"DebugLevel", "0", "default"},
                                      {"MaxLogFileSizeKB", "10240", "default"},
                                      {"RolloverMode", "None", "default"}});
}

INSTANTIATE_TEST_SUITE_P(Backends, ConfigCommand,
                         ::testing::Values(ToolBackend::kStoreFile, ToolBackend::kRegistry),
                         backend_name);

TEST(ConfigStoreLocation, AMissingStoreIsReportedAndStoreOverridesTheEnvironment) {
  TempDir root;
  const std::string missing = root.file("none/xoltlog.conf");
  const std::string present = root.file("etc/xoltlog.conf");
  const ToolEnv env{{"XOLTLOG_CFG_LOC", missing}};
  const std::vector<std::vector<std::string>> commands = {{"config", "list"},
                                                          {"config", "show", "1"},
                                                          {"config", "set", "1", "DebugLevel", "1"},
                                                          {"log", "-p", "1", "text"}};
  for (const auto& args : commands) {
    const ToolRun result = run_tool(args, env);
    SCOPED_TRACE(args[1]);
    EXPECT_EQ(result.exit_code, 6);
    EXPECT_NE(result.err.find(missing + " cannot be opened"), std::string::npos) << result.err;
  }
  ASSERT_EQ(run_tool({"--store", present, "config", "register", "1", "one"}, env).exit_code, 0);
  EXPECT_EQ(run_tool({"--store", present, "config", "list"}, env).exit_code, 0);
  EXPECT_EQ(run_tool({"config", "list"}, env).exit_code, 6);
  EXPECT_EQ(run_tool({"--store", missing, "config", "list"}, {{"XOLTLOG_CFG_LOC", present}})
                .exit_code,
            6);
}

}  // namespace
}  // namespace xoltlog::test
