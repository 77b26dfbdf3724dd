#include "platform/absolute_path.h"

namespace xoltlog::platform {

bool is_absolute_path(const char* path) noexcept { return path != nullptr && path[0] == '/'; }

}  // namespace xoltlog::platform
