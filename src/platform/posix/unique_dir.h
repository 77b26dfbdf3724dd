// Owns an open directory stream and closes it through the system-call table.
#pragma once

#include <dirent.h>

#include <memory>

#include "platform/posix/syscalls.h"

namespace xoltlog::platform::posix {

struct CloseDir {
  void operator()(DIR* directory) const noexcept { syscalls().closedir(directory); }
};
using UniqueDir = std::unique_ptr<DIR, CloseDir>;

}  // namespace xoltlog::platform::posix
