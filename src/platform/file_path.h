// File paths as the platform spells them, for the code above the platform
// layer that takes paths apart or puts them together.
#pragma once

#include <string>
#include <string_view>

namespace xoltlog::platform {

// The separator of a file path's components.
char path_separator() noexcept;

// The directory that holds the file at path: the text before its last
// separator, the root directory for a file directly in it, and the current
// directory for a name without a separator. May throw std::bad_alloc.
std::string directory_of(std::string_view path);

}  // namespace xoltlog::platform
