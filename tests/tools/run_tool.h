// Runs the xoltlog binary as a user would: arguments, an environment,
// standard input; gives back what it printed and its exit code.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace xoltlog::test {

struct ToolRun {
  int exit_code = -1;  // -1 when the tool did not exit normally (a signal)
  std::string out;
  std::string err;
};

// Changes to this process's environment for the run: a value sets the
// variable, nullopt removes it.
using ToolEnv = std::vector<std::pair<std::string, std::optional<std::string>>>;

// The tool built with the tests.
const char* tool_path();

// Runs the tool with args (without the program name), env applied on top
// of this process's environment, and input on its standard input; as user
// (its own group, no others) when given.
ToolRun run_tool(const std::vector<std::string>& args, const ToolEnv& env = {},
                 const std::string& input = {}, std::optional<uid_t> user = std::nullopt);

}  // namespace xoltlog::test
