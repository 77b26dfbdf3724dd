// Exported host-name and socket-layer operations.
#include "platform/host_address.h"
#include "xoltlog/platform.h"

extern "C" {

// POSIX sockets need no start or clean-up; the pair exists for platforms
// whose socket layer does.
XOLTLOG_API int32_t osSocketStartup(void) noexcept { return 0; }

XOLTLOG_API void osSocketCleanup(void) noexcept {}

XOLTLOG_API int32_t osGetHostName(char* buffer, uint32_t size) noexcept {
  return xoltlog::platform::local_host_name(buffer, size) ? 0 : 1;
}

}  // extern "C"
