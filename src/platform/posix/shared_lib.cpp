#include <dlfcn.h>

#include <cstring>
#include <string>

#include "platform/shared_lib.h"

namespace xoltlog::platform {
namespace {

// The directory of the object this code is in (libxoltlog.so, or the
// program it is linked into), with its trailing separator; empty when
// unknown.
std::string own_directory() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&load_library), &info) == 0 || info.dli_fname == nullptr) {
    return {};
  }
  const char* slash = std::strrchr(info.dli_fname, '/');
  return slash == nullptr ? std::string() : std::string(info.dli_fname, slash + 1);
}

void* open_library(const char* path) noexcept { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }

}  // namespace

const char* shared_library_extension() noexcept { return "so"; }

void* load_library(const char* file_name) noexcept {
  if (std::strchr(file_name, '/') != nullptr) {
    return open_library(file_name);
  }
  try {
    const std::string beside = own_directory() + file_name;
    if (void* module = open_library(beside.c_str()); module != nullptr) {
      return module;
    }
  } catch (const std::bad_alloc&) {
    // Without room for the path, only the system's search is left.
  }
  return open_library(file_name);
}

void* resolve_function(void* module, const char* name) noexcept { return dlsym(module, name); }

void unload_library(void* module) noexcept { dlclose(module); }

}  // namespace xoltlog::platform
