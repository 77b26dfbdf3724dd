// Exported level and sequence-number accessors of a log handle. Each holds
// the library lock under its own name; the debug and diagnostic getters let
// the dynamic reload refresh the levels first (the lock is recursive).
#include "api/handle_ops.h"
#include "frame/library_lock.h"
#include "xoltlog/handle.h"

namespace {

using xoltlog::LibraryLockGuard;

template <typename T>
uint32_t get_field(const char* label, XoltLogHandle* handle, T XoltLogHandle::*field, T* out,
                   bool reload) noexcept {
  if (handle == nullptr || out == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held(label);
  if (reload) {
    xoltlog::dyna_load_config(*handle);
  }
  *out = xoltlog::unlocked(handle->*field).load(std::memory_order_relaxed);
  return XOLTLOG_OK;
}

template <typename T>
uint32_t set_field(const char* label, XoltLogHandle* handle, T XoltLogHandle::*field,
                   T value) noexcept {
  if (handle == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held(label);
  // Message calls read the levels without the lock.
  xoltlog::unlocked(handle->*field).store(value, std::memory_order_relaxed);
  return XOLTLOG_OK;
}

}  // namespace

extern "C" {

XOLTLOG_API uint32_t xoltLogGetDebugLevel(XoltLogHandle* handle, int32_t* level) noexcept {
  return get_field("xoltLogGetDebugLevel()", handle, &XoltLogHandle::debug_level, level, true);
}

XOLTLOG_API uint32_t xoltLogGetDiagLevel(XoltLogHandle* handle, int32_t* level) noexcept {
  return get_field("xoltLogGetDiagLevel()", handle, &XoltLogHandle::diag_level, level, true);
}

XOLTLOG_API uint32_t xoltLogSetDebugLevel(XoltLogHandle* handle, int32_t level) noexcept {
  return set_field("xoltLogSetDebugLevel()", handle, &XoltLogHandle::debug_level, level);
}

XOLTLOG_API uint32_t xoltLogSetDiagLevel(XoltLogHandle* handle, int32_t level) noexcept {
  return set_field("xoltLogSetDiagLevel()", handle, &XoltLogHandle::diag_level, level);
}

XOLTLOG_API uint32_t xoltLogGetSecureAuditLevel(XoltLogHandle* handle, int32_t* level) noexcept {
  return get_field("xoltLogGetSecureAuditLevel()", handle, &XoltLogHandle::secure_audit_level,
                   level, false);
}

XOLTLOG_API uint32_t xoltLogSetSecureAuditLevel(XoltLogHandle* handle, int32_t level) noexcept {
  return set_field("xoltLogSetSecureAuditLevel()", handle, &XoltLogHandle::secure_audit_level,
                   level);
}

XOLTLOG_API uint32_t xoltLogGetSequenceNumber(XoltLogHandle* handle, uint32_t* number) noexcept {
  return get_field("xoltLogGetSequenceNumber()", handle, &XoltLogHandle::sequence_counter, number,
                   false);
}

XOLTLOG_API uint32_t xoltLogSetSequenceNumber(XoltLogHandle* handle, uint32_t number) noexcept {
  return set_field("xoltLogSetSequenceNumber()", handle, &XoltLogHandle::sequence_counter, number);
}

}  // extern "C"
