#include "support/child_process.h"

#include <sys/wait.h>
#include <unistd.h>

namespace xoltlog::test {

int run_in_child(const std::function<int()>& body) {
  const pid_t child = fork();
  if (child < 0) {
    return -1;
  }
  if (child == 0) {
    // _exit: the child must not run the parent's atexit handlers or flush
    // the parent's buffered output a second time.
    _exit(body());
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
    return -1;
  }
  return WEXITSTATUS(status);
}

}  // namespace xoltlog::test
