// Exported library-frame operations: memory helpers, locks, result mapping.
#include "frame/library_lock.h"
#include "frame/lock.h"
#include "platform/heap.h"
#include "frame/result_map.h"
#include "xoltlog/frame.h"

#include <cstddef>

static_assert(sizeof(XoltLogCriticalSection) == 40);
static_assert(offsetof(XoltLogLock, initialised) == 40);
static_assert(offsetof(XoltLogLock, depth) == 44);
static_assert(offsetof(XoltLogLock, owners) == 48);
static_assert(sizeof(XoltLogLockOwner) == 16);
static_assert(sizeof(XoltLogLock) == 208);

extern "C" {

XOLTLOG_API void* xoltLogMalloc(uint64_t size) noexcept { return xoltlog::allocate(size); }

XOLTLOG_API void xoltLogFree(void* block) noexcept { xoltlog::release(block); }

XOLTLOG_API char* xoltLogSafeStrdup(const char* text) noexcept {
  return xoltlog::duplicate_string(text);
}

XOLTLOG_API uint32_t xoltLogResFreeErrorMessage(char* message) noexcept {
  if (message == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  xoltlog::release(message);
  return XOLTLOG_OK;
}

XOLTLOG_API void xoltLogLockInit(XoltLogLock* lock) noexcept {
  if (lock != nullptr) {
    xoltlog::lock_init(*lock);
  }
}

XOLTLOG_API void xoltLogLock(XoltLogLock* lock, const char* caller) noexcept {
  if (lock == nullptr) {
    xoltlog::lock_misuse();
  }
  xoltlog::lock_acquire(*lock, caller);
}

XOLTLOG_API void xoltLogUnlock(XoltLogLock* lock, const char* caller) noexcept {
  if (lock == nullptr) {
    xoltlog::lock_misuse();
  }
  xoltlog::lock_release(*lock, caller);
}

XOLTLOG_API void xoltLogDestroyLock(XoltLogLock* lock) noexcept {
  if (lock == nullptr) {
    xoltlog::lock_misuse();
  }
  xoltlog::lock_destroy(*lock);
}

XOLTLOG_API void xoltLockCommon(const char* caller) noexcept {
  xoltlog::lock_acquire(xoltlog::library_lock(), caller);
}

XOLTLOG_API void xoltUnlockCommon(const char* caller) noexcept {
  xoltlog::lock_release(xoltlog::library_lock(), caller);
}

XOLTLOG_API void xoltDestroyCommonLock(void) noexcept {
  xoltlog::lock_destroy(xoltlog::library_lock());
}

XOLTLOG_API uint32_t xoltLogMapRirResToLoggingRes(int32_t rir_status) noexcept {
  return xoltlog::map_rir_status(rir_status);
}

XOLTLOG_API uint32_t utipsres2xoltlogres(uint32_t store_result) noexcept {
  return xoltlog::map_store_result(store_result);
}

}  // extern "C"
