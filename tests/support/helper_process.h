// Helper processes: the test binary re-run in a helper mode, for behaviour
// that needs real, separate processes (cross-process locks, a writer killed
// while it holds a lock, settings read once per process).
//
//   XOLTLOG_TEST_HELPER(append_lines) { ...argv...; return 0; }
//   pid_t pid = spawn_helper("append_lines", {"file", "100"});
//   EXPECT_EQ(wait_for_exit(pid), 0);
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace xoltlog::test {

using HelperMain = int (*)(const std::vector<std::string>& args);

struct HelperRegistration {
  HelperRegistration(const char* name, HelperMain main);
};

// Starts this test binary as helper name with args; environment entries
// "NAME=value" are added to (or replace those of) this process's. -1 when
// the process cannot be started.
pid_t spawn_helper(const std::string& name, const std::vector<std::string>& args,
                   const std::vector<std::string>& environment = {});

// The helper's exit status; 128 + the signal for one killed by a signal; -1
// when it cannot be waited for.
int wait_for_exit(pid_t pid);

// Runs a registered helper when argv asks for one; false otherwise.
bool run_helper_if_asked(int argc, char** argv, int& exit_status);

}  // namespace xoltlog::test

#define XOLTLOG_TEST_HELPER(name)                                                   \
  static int name(const std::vector<std::string>& args);                            \
  static const ::xoltlog::test::HelperRegistration name##_registration(#name, name); \
  static int name([[maybe_unused]] const std::vector<std::string>& args)
