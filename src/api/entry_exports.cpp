// The thin members of the entry-point family: each forwards to the member
// that does the work, with sequence 0 and flag 16 for the short forms (the
// handle's own numbering) and an empty who where the form has none.
#include <cstdarg>
#include <cstdint>

#include "api/entry.h"
#include "api/handle_ops.h"
#include "xoltlog/log.h"

namespace {

constexpr uint32_t own_sequence(uint32_t flags) noexcept {
  return flags | xoltlog::kFlagOwnSequence;
}

}  // namespace

// Each variadic member hands its arguments on as one va_list.
#define XOLTLOG_FORWARD_VARIADIC(last, call) \
  va_list args;                              \
  va_start(args, last);                      \
  const uint32_t result = call;              \
  va_end(args);                              \
  return result

extern "C" {

XOLTLOG_API uint32_t xoltLogAppMsg(XoltLogHandle* handle, uint32_t flags, uint32_t severity,
                                   uint32_t id, const char* format, ...) noexcept {
  XOLTLOG_FORWARD_VARIADIC(
      format, xoltLogAppMsg2VEx(handle, 0, own_sequence(flags), severity, "", id, format, args));
}

XOLTLOG_API uint32_t xoltLogAppMsgEx(XoltLogHandle* handle, uint32_t flags, uint32_t severity,
                                     const char* who, uint32_t id, const char* format,
                                     ...) noexcept {
  XOLTLOG_FORWARD_VARIADIC(
      format, xoltLogAppMsg2VEx(handle, 0, own_sequence(flags), severity, who, id, format, args));
}

XOLTLOG_API uint32_t xoltLogAppMsg2(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                    uint32_t severity, uint32_t id, const char* format,
                                    ...) noexcept {
  XOLTLOG_FORWARD_VARIADIC(
      format, xoltLogAppMsg2VEx(handle, sequence, flags, severity, "", id, format, args));
}

XOLTLOG_API uint32_t xoltLogAppMsg2Ex(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                      uint32_t severity, const char* who, uint32_t id,
                                      const char* format, ...) noexcept {
  XOLTLOG_FORWARD_VARIADIC(
      format, xoltLogAppMsg2VEx(handle, sequence, flags, severity, who, id, format, args));
}

XOLTLOG_API uint32_t xoltLogAppMsg2V(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                     uint32_t severity, uint32_t id, const char* format,
                                     va_list args) noexcept {
  return xoltLogAppMsg2VEx(handle, sequence, flags, severity, "", id, format, args);
}

XOLTLOG_API uint32_t xoltLogAppMsg2L(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                     uint32_t severity, const char* text,
                                     XoltRirMsg* rir) noexcept {
  return xoltLogAppMsg2LEx(handle, sequence, flags, severity, "", text, rir);
}

XOLTLOG_API uint32_t xoltLogDiagMsg(XoltLogHandle* handle, uint32_t flags, int32_t level,
                                    const char* who, uint32_t id, const char* format,
                                    ...) noexcept {
  XOLTLOG_FORWARD_VARIADIC(
      format, xoltLogDiagMsg2V(handle, 0, own_sequence(flags), level, who, id, format, args));
}

XOLTLOG_API uint32_t xoltLogDiagMsg2(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                     int32_t level, const char* who, uint32_t id,
                                     const char* format, ...) noexcept {
  XOLTLOG_FORWARD_VARIADIC(format,
                           xoltLogDiagMsg2V(handle, sequence, flags, level, who, id, format, args));
}

// Debug messages are mostly filtered out: the filter runs here, before the
// argument list is made, and costs a few loads when reloading is off.
XOLTLOG_API uint32_t xoltLogDebugMsg(XoltLogHandle* handle, uint32_t flags, int32_t level,
                                     const char* who, const char* format, ...) noexcept {
  if (handle == nullptr || who == nullptr || format == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  if (xoltlog::debug_filtered(*handle, level)) {
    return XOLTLOG_OK;
  }
  XOLTLOG_FORWARD_VARIADIC(
      format, xoltlog::log_debug_passed(*handle, 0, own_sequence(flags), level, who, format, args));
}

XOLTLOG_API uint32_t xoltLogDebugMsg2(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                      int32_t level, const char* who, const char* format,
                                      ...) noexcept {
  if (handle == nullptr || who == nullptr || format == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  if (xoltlog::debug_filtered(*handle, level)) {
    return XOLTLOG_OK;
  }
  XOLTLOG_FORWARD_VARIADIC(
      format, xoltlog::log_debug_passed(*handle, sequence, flags, level, who, format, args));
}

XOLTLOG_API uint32_t xoltLogAuditMsg(XoltLogHandle* handle, uint32_t flags, const char* subject,
                                     uint32_t outcome, uint32_t id, const char* format,
                                     ...) noexcept {
  XOLTLOG_FORWARD_VARIADIC(format, xoltLogAuditMsg2V(handle, 0, own_sequence(flags), subject,
                                                     outcome, id, format, args));
}

XOLTLOG_API uint32_t xoltLogAuditMsg2(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                      const char* subject, uint32_t outcome, uint32_t id,
                                      const char* format, ...) noexcept {
  XOLTLOG_FORWARD_VARIADIC(
      format, xoltLogAuditMsg2V(handle, sequence, flags, subject, outcome, id, format, args));
}

XOLTLOG_API uint32_t xoltLogSecureAuditMsg(XoltLogHandle* handle, int32_t level,
                                           const char* subject, uint32_t outcome, uint32_t id,
                                           const char* format, ...) noexcept {
  XOLTLOG_FORWARD_VARIADIC(
      format, xoltLogSecureAuditMsgV(handle, level, subject, outcome, id, format, args));
}

}  // extern "C"
