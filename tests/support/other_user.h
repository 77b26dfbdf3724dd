// Acting as another local user: the tests run as root, and a forked child
// that gives up root (setresgid, setgroups, setresuid) is that user.
#pragma once

#include <grp.h>
#include <sys/types.h>
#include <unistd.h>

#include <functional>

#include "support/child_process.h"

namespace xoltlog::test {

// The unprivileged user and group of the usual "nobody".
inline constexpr uid_t kOtherUser = 65534;
inline constexpr gid_t kOtherGroup = 65534;

// Runs body in a child as uid and gid, with no supplementary groups: its
// return value, 99 when the identity cannot be taken, -1 when the child did
// not exit normally.
inline int run_as_user(uid_t uid, gid_t gid, const std::function<int()>& body) {
  return run_in_child([&] {
    if (setgroups(0, nullptr) != 0 || setresgid(gid, gid, gid) != 0 ||
        setresuid(uid, uid, uid) != 0) {
      return 99;
    }
    return body();
  });
}

}  // namespace xoltlog::test
