// The files of the registry stand-in: a key's values file, rewritten whole
// and moved over the old one.
#include <cerrno>
#include <string>

#include "platform/file_replace.h"
#include "platform/posix/error_kinds.h"
#include "platform/posix/registry_key.h"
#include "platform/registry.h"

namespace xoltlog::platform::posix {

RegistryStatus registry_status_of(int error) noexcept {
  if (is_path_not_found(error)) {
    return RegistryStatus::kNotFound;
  }
  return is_access_denied(error) ? RegistryStatus::kAccessDenied : RegistryStatus::kFailed;
}

// The values file is the stand-in's own: a link found in its place was put
// there by somebody else, and is replaced, never written through.
RegistryStatus write_values_file(const std::string& directory, std::string_view bytes) {
  FileReplacement replacement(directory + "/" + kValuesFile, LinkPolicy::kReplace);
  if (replacement.create() && replacement.write(bytes) && replacement.finish() &&
      replacement.replace() == ReplaceStatus::kOk) {
    return RegistryStatus::kOk;
  }
  return registry_status_of(errno);
}

}  // namespace xoltlog::platform::posix
