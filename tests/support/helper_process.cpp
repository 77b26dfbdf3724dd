#include "support/helper_process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <map>

extern char** environ;

namespace xoltlog::test {
namespace {

constexpr const char* kHelperFlag = "--xoltlog-helper";

std::map<std::string, HelperMain>& helpers() {
  static std::map<std::string, HelperMain> registry;
  return registry;
}

std::vector<std::string> merged_environment(const std::vector<std::string>& overrides) {
  std::vector<std::string> merged;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string current(*entry);
    const std::string key = current.substr(0, current.find('=') + 1);
    bool replaced = false;
    for (const std::string& override : overrides) {
      replaced = replaced || override.compare(0, key.size(), key) == 0;
    }
    if (!replaced) {
      merged.push_back(current);
    }
  }
  merged.insert(merged.end(), overrides.begin(), overrides.end());
  return merged;
}

std::vector<char*> pointers_to(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) {
    pointers.push_back(text.data());
  }
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

HelperRegistration::HelperRegistration(const char* name, HelperMain main) {
  helpers()[name] = main;
}

pid_t spawn_helper(const std::string& name, const std::vector<std::string>& args,
                   const std::vector<std::string>& environment) {
  // Everything the child needs is built before fork: after it, in a process
  // that may have threads, only async-signal-safe calls are allowed.
  std::vector<std::string> argv_texts = {"/proc/self/exe", kHelperFlag, name};
  argv_texts.insert(argv_texts.end(), args.begin(), args.end());
  std::vector<std::string> env_texts = merged_environment(environment);
  std::vector<char*> argv = pointers_to(argv_texts);
  std::vector<char*> envp = pointers_to(env_texts);
  const pid_t pid = fork();
  if (pid == 0) {
    execve("/proc/self/exe", argv.data(), envp.data());
    _exit(127);
  }
  return pid;
}

int wait_for_exit(pid_t pid) {
  int status = 0;
  if (pid <= 0 || waitpid(pid, &status, 0) != pid) {
    return -1;
  }
  if (WIFSIGNALED(status)) {
    return 128 + WTERMSIG(status);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool run_helper_if_asked(int argc, char** argv, int& exit_status) {
  if (argc < 3 || std::strcmp(argv[1], kHelperFlag) != 0) {
    return false;
  }
  const auto found = helpers().find(argv[2]);
  if (found == helpers().end()) {
    exit_status = 126;
    return true;
  }
  exit_status = found->second(std::vector<std::string>(argv + 3, argv + argc));
  return true;
}

}  // namespace xoltlog::test
