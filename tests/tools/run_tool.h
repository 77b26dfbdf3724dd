// Runs the xoltlog binary as a user would and captures what it printed and
// its exit code. The binary's path comes from the build
// (XOLTLOG_TOOL_PATH); the child inherits this process's environment with
// the changes given, and may give up root to act as another user.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"

namespace xoltlog::test {

struct ToolRun {
  int code = -1;  // the exit code; -1 when the tool did not exit normally
  std::string out;
  std::string err;
};

struct ToolEnv {
  std::vector<std::pair<std::string, std::string>> set;  // variables to set
  std::vector<std::string> unset;                        // variables to remove
  std::optional<uid_t> user;                             // run as this user and group
};

inline ToolRun run_tool(const std::vector<std::string>& args, const ToolEnv& env = {}) {
  TempDir capture;
  const std::string out_path = capture.file("out"), err_path = capture.file("err");
  const pid_t child = fork();
  if (child == 0) {
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
    for (const auto& [name, value] : env.set) setenv(name.c_str(), value.c_str(), 1);
    for (const auto& name : env.unset) unsetenv(name.c_str());
    if (env.user && (setgroups(0, nullptr) != 0 || setresgid(*env.user, *env.user, *env.user) != 0 ||
                     setresuid(*env.user, *env.user, *env.user) != 0)) {
      _exit(125);
    }
    std::vector<char*> argv{const_cast<char*>(XOLTLOG_TOOL_PATH)};
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(XOLTLOG_TOOL_PATH, argv.data());
    _exit(127);
  }
  int status = 0;
  ToolRun run;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    run.code = WEXITSTATUS(status);
  }
  run.out = read_file(out_path);
  run.err = read_file(err_path);
  return run;
}

}  // namespace xoltlog::test
