// Runs code in a forked child process, for behaviour that must be seen from
// a second process (new process identifiers, aborts, cross-process locks).
#pragma once

#include <functional>

namespace xoltlog::test {

// Forks, runs body in the child and exits with its return value. Returns the
// child's exit status, or -1 when it did not exit normally (signal, fork
// failure).
int run_in_child(const std::function<int()>& body);

}  // namespace xoltlog::test
