// Exported loading of separately shipped libraries.
#include "platform/shared_lib.h"
#include "xoltlog/shared_lib.h"

extern "C" {

XOLTLOG_API int32_t SharedLibLoad(void** module, const char* name, char** file_name) noexcept {
  if (file_name != nullptr) {
    *file_name = nullptr;
  }
  if (module == nullptr || name == nullptr) {
    return -2;
  }
  xoltlog::BlockPtr<char> built = xoltlog::platform::library_file_name(name);
  if (!built) {
    return -2;
  }
  *module = xoltlog::platform::load_library(built.get());
  if (*module == nullptr) {
    return -2;
  }
  if (file_name != nullptr) {
    *file_name = built.release();
  }
  return 0;
}

XOLTLOG_API int32_t SharedLibResolveFunc(void* module, const char* name, void** address) noexcept {
  if (module == nullptr || name == nullptr || *name == '\0' || address == nullptr) {
    return -2;
  }
  *address = xoltlog::platform::resolve_function(module, name);
  return 0;
}

XOLTLOG_API int32_t SharedLibUnload(void* module) noexcept {
  if (module == nullptr) {
    return -2;
  }
  xoltlog::platform::unload_library(module);
  return 0;
}

}  // extern "C"
