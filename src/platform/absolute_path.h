// Whether a file path is absolute by the platform's rule.
#pragma once

namespace xoltlog::platform {

// False for null.
bool is_absolute_path(const char* path) noexcept;

}  // namespace xoltlog::platform
