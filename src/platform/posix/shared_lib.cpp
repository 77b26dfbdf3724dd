#include <dlfcn.h>

#include <climits>
#include <cstring>

#include "platform/shared_lib.h"

namespace xoltlog::platform {
namespace {

// Writes into path the path of file_name beside the object this code is in
// (libxoltlog.so, or the program it is linked into). False when that
// object's directory is unknown or the path would not fit: no longer path
// can be opened anyway.
bool path_beside_library(const char* file_name, char (&path)[PATH_MAX]) noexcept {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&load_library), &info) == 0 || info.dli_fname == nullptr) {
    return false;
  }
  const char* slash = std::strrchr(info.dli_fname, '/');
  if (slash == nullptr) {
    return false;
  }
  const auto directory_length = static_cast<std::size_t>(slash + 1 - info.dli_fname);
  const std::size_t name_length = std::strlen(file_name);
  if (directory_length + name_length >= sizeof path) {
    return false;
  }
  std::memcpy(path, info.dli_fname, directory_length);
  std::memcpy(path + directory_length, file_name, name_length + 1);
  return true;
}

void* open_library(const char* path) noexcept { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }

}  // namespace

const char* shared_library_extension() noexcept { return "so"; }

// When the path beside this library cannot be formed, only the system's
// search is left.
void* load_library(const char* file_name) noexcept {
  if (std::strchr(file_name, '/') != nullptr) {
    return open_library(file_name);
  }
  char beside[PATH_MAX];
  if (path_beside_library(file_name, beside)) {
    if (void* module = open_library(beside); module != nullptr) {
      return module;
    }
  }
  return open_library(file_name);
}

void* resolve_function(void* module, const char* name) noexcept { return dlsym(module, name); }

void unload_library(void* module) noexcept { dlclose(module); }

}  // namespace xoltlog::platform
