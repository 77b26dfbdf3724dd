// Exported file primitives.
#include <cstddef>

#include "platform/file_primitives.h"
#include "xoltlog/platform.h"

static_assert(sizeof(XoltLogFileContext) == 32792);
static_assert(offsetof(XoltLogFileContext, read_buffer) == 16);
static_assert(offsetof(XoltLogFileContext, read_position) == 32784);

extern "C" {

XOLTLOG_API int32_t xoltLogOs_init(XoltLogFileContext* context) noexcept {
  return context == nullptr ? 0 : xoltlog::platform::file_init(*context);
}

XOLTLOG_API int32_t xoltLogOs_open(XoltLogFileContext* context, const char* name, int32_t mode,
                                   const char* sddl) noexcept {
  if (context == nullptr || name == nullptr) {
    return -3;
  }
  return xoltlog::platform::file_open(*context, name, mode, sddl);
}

XOLTLOG_API void xoltLogOs_close(XoltLogFileContext* context) noexcept {
  if (context != nullptr) {
    xoltlog::platform::file_close(*context);
  }
}

XOLTLOG_API int32_t xoltLogOs_read(XoltLogFileContext* context, char* buffer,
                                   uint32_t count) noexcept {
  if (context == nullptr || buffer == nullptr) {
    return -1;
  }
  return xoltlog::platform::file_read(*context, buffer, count);
}

XOLTLOG_API int32_t xoltLogOs_append(XoltLogFileContext* context, const void* bytes,
                                     uint32_t count) noexcept {
  if (context == nullptr) {
    return -1;
  }
  return xoltlog::platform::file_append(*context, bytes, count);
}

XOLTLOG_API int32_t xoltLogOs_fsize(XoltLogFileContext* context, uint64_t* size) noexcept {
  if (context == nullptr || size == nullptr) {
    return -3;
  }
  return xoltlog::platform::file_size(*context, *size);
}

XOLTLOG_API int32_t xoltLogOs_delete(const char* name) noexcept {
  return name == nullptr ? -1 : xoltlog::platform::file_delete(name);
}

XOLTLOG_API int32_t xoltLogOs_mkdir(const char* path, const char* sddl) noexcept {
  return xoltlog::platform::make_directories(path, sddl);
}

}  // extern "C"
