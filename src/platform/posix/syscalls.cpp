#include "platform/posix/syscalls.h"

namespace xoltlog::platform::posix {
namespace {

const Syscalls kReal = {
    ::clock_gettime,
};

Syscalls g_active = kReal;

}  // namespace

Syscalls& syscalls() noexcept { return g_active; }

const Syscalls& real_syscalls() noexcept { return kReal; }

}  // namespace xoltlog::platform::posix
