#include "platform/file_path.h"

namespace xoltlog::platform {

char path_separator() noexcept { return '/'; }

std::string directory_of(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) {
    return ".";
  }
  return std::string(path.substr(0, slash == 0 ? 1 : slash));
}

}  // namespace xoltlog::platform
