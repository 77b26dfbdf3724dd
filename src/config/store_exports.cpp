// Exported property store operations. The store has no result for memory
// running out: an operation that runs out gives its own failure result, the
// one it gives when its store cannot be opened, read or written.
#include <cstddef>
#include <utility>

#include "config/store_backend.h"
#include "frame/boundary.h"
#include "xoltlog/property_store.h"
#include "xoltlog/result.h"

static_assert(sizeof(XoltLogPropertyStore) == 816);
static_assert(offsetof(XoltLogPropertyStore, file) == 8);
static_assert(offsetof(XoltLogPropertyStore, file.section) == 16);
static_assert(offsetof(XoltLogPropertyStore, file.file_name) == 416);

namespace {

template <typename Body>
uint32_t store_guarded(uint32_t failure, Body&& body) noexcept {
  return xoltlog::guarded(failure, std::forward<Body>(body), failure);
}

}  // namespace

extern "C" {

XOLTLOG_API uint32_t utiOpenPropertyStore(const char* location, const char* section,
                                          XoltLogPropertyStore* handle, uint32_t mode) noexcept {
  return store_guarded(XOLTLOG_STORE_E_OPEN,
                       [&] { return xoltlog::store_open(location, section, handle, mode); });
}

// A result code: 6 is this operation's only failure, memory included.
XOLTLOG_API uint32_t CreatePropertyString(const char* location, const char* section,
                                          XoltLogPropertyStore* handle) noexcept {
  return store_guarded(XOLTLOG_E_CFG_STORE,
                       [&] { return xoltlog::store_create(location, section, handle); });
}

XOLTLOG_API uint32_t utiClosePropertyStore(XoltLogPropertyStore* handle) noexcept {
  return xoltlog::store_close(handle);
}

XOLTLOG_API uint32_t utiGetPropertyAsStr(XoltLogPropertyStore* handle, const char* name,
                                         char** value) noexcept {
  return store_guarded(XOLTLOG_STORE_E_PROPERTY,
                       [&] { return xoltlog::store_get_text(handle, name, value); });
}

XOLTLOG_API uint32_t utiSetPropertyAsStr(XoltLogPropertyStore* handle, const char* name,
                                         const char* value) noexcept {
  return store_guarded(XOLTLOG_STORE_E_WRITE,
                       [&] { return xoltlog::store_set_text(handle, name, value); });
}

XOLTLOG_API uint32_t utiRemoveProperty(XoltLogPropertyStore* handle, const char* name) noexcept {
  return store_guarded(XOLTLOG_STORE_E_WRITE,
                       [&] { return xoltlog::store_remove_property(handle, name); });
}

XOLTLOG_API uint32_t utiRemovePropertyRoot(XoltLogPropertyStore* handle,
                                           const char* name) noexcept {
  return store_guarded(XOLTLOG_STORE_E_WRITE,
                       [&] { return xoltlog::store_remove_section(handle, name); });
}

XOLTLOG_API uint32_t utiEnumProductId(XoltLogPropertyStore* handle, uint32_t index,
                                      char* name_buffer, uint32_t* name_length) noexcept {
  return store_guarded(XOLTLOG_STORE_E_WRITE, [&] {
    return xoltlog::store_enum_sections(handle, xoltlog::StoreSections::kProducts, index,
                                        name_buffer, name_length);
  });
}

XOLTLOG_API uint32_t utiEnumLogsetForProductId(XoltLogPropertyStore* handle, uint32_t index,
                                               char* name_buffer, uint32_t* name_length) noexcept {
  return store_guarded(XOLTLOG_STORE_E_WRITE, [&] {
    return xoltlog::store_enum_sections(handle, xoltlog::StoreSections::kLogsets, index,
                                        name_buffer, name_length);
  });
}

}  // extern "C"
