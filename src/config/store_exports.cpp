// Exported property store operations.
#include <cstddef>

#include "config/store_backend.h"
#include "xoltlog/property_store.h"

static_assert(sizeof(XoltLogPropertyStore) == 816);
static_assert(offsetof(XoltLogPropertyStore, file) == 8);
static_assert(offsetof(XoltLogPropertyStore, file.section) == 16);
static_assert(offsetof(XoltLogPropertyStore, file.file_name) == 416);

extern "C" {

XOLTLOG_API uint32_t utiOpenPropertyStore(const char* location, const char* section,
                                          XoltLogPropertyStore* handle, uint32_t mode) noexcept {
  return xoltlog::store_open(location, section, handle, mode);
}

XOLTLOG_API uint32_t CreatePropertyString(const char* location, const char* section,
                                          XoltLogPropertyStore* handle) noexcept {
  return xoltlog::store_create(location, section, handle);
}

XOLTLOG_API uint32_t utiClosePropertyStore(XoltLogPropertyStore* handle) noexcept {
  return xoltlog::store_close(handle);
}

XOLTLOG_API uint32_t utiGetPropertyAsStr(XoltLogPropertyStore* handle, const char* name,
                                         char** value) noexcept {
  return xoltlog::store_get_text(handle, name, value);
}

XOLTLOG_API uint32_t utiSetPropertyAsStr(XoltLogPropertyStore* handle, const char* name,
                                         const char* value) noexcept {
  return xoltlog::store_set_text(handle, name, value);
}

XOLTLOG_API uint32_t utiRemoveProperty(XoltLogPropertyStore* handle, const char* name) noexcept {
  return xoltlog::store_remove_property(handle, name);
}

XOLTLOG_API uint32_t utiRemovePropertyRoot(XoltLogPropertyStore* handle,
                                           const char* name) noexcept {
  return xoltlog::store_remove_section(handle, name);
}

XOLTLOG_API uint32_t utiEnumProductId(XoltLogPropertyStore* handle, uint32_t index,
                                      char* name_buffer, uint32_t* name_length) noexcept {
  return xoltlog::store_enum_sections(handle, xoltlog::StoreSections::kProducts, index, name_buffer,
                                      name_length);
}

XOLTLOG_API uint32_t utiEnumLogsetForProductId(XoltLogPropertyStore* handle, uint32_t index,
                                               char* name_buffer, uint32_t* name_length) noexcept {
  return xoltlog::store_enum_sections(handle, xoltlog::StoreSections::kLogsets, index, name_buffer,
                                      name_length);
}

}  // extern "C"
