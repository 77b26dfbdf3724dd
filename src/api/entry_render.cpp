// The rendering entry points: they turn a format and its arguments into a
// catalog Rir message, a printf-style text, or both, before any lock is
// taken, and hand them to their family's builder.
#include <cstdarg>
#include <cstdint>

#include "api/entry.h"
#include "api/handle_ops.h"
#include "frame/library_lock.h"
#include "platform/heap.h"
#include "frame/result_map.h"
#include "message/record_attributes.h"
#include "message/text_render.h"
#include "xoltlog/log.h"

namespace {

using xoltlog::BlockPtr;

// Owns the Rir message while it is the call's: a builder that took it over
// left it zeroed, and releasing a zeroed message does nothing.
struct OwnedRir {
  XoltRirMsg msg{};
  ~OwnedRir() { xoltRirFree(&msg); }
};

// xoltRirVEx on a copy of args, which stay usable for a second rendering.
int32_t request_rir(const XoltLogHandle& handle, uint32_t id, const char* format, va_list args,
                    XoltRirMsg& rir) noexcept {
  va_list copy;
  va_copy(copy, args);
  const int32_t status = xoltRirVEx(&rir, handle.utf8, id, format, copy);
  va_end(copy);
  return status;
}

// Steps 3 to 5 of rendering, shared by the application and diagnostic
// messages: build(text, rir) is the family's builder.
template <typename Build>
uint32_t render_and_build(const XoltLogHandle& handle, uint32_t flags, uint32_t id,
                          const char* format, va_list args, Build build) noexcept {
  OwnedRir rir;
  bool rir_alone = false;
  if (id != 0) {
    const int32_t status = request_rir(handle, id, format, args, rir.msg);
    if (status != XOLT_RIR_OK) {
      return xoltlog::map_rir_status(status);
    }
    rir_alone = (flags & xoltlog::kFlagPlainText) == 0;
  }
  BlockPtr<char> text;
  if (!rir_alone) {
    text = xoltlog::render_format(format, args);
  }
  return build(text.get(), &rir.msg);
}

// The catalog message of an audit message; a failure's mapped code.
uint32_t request_audit_rir(const XoltLogHandle& handle, uint32_t id, const char* format,
                           va_list args, OwnedRir& rir) noexcept {
  const int32_t status = request_rir(handle, id, format, args, rir.msg);
  return status == XOLT_RIR_OK ? uint32_t{XOLTLOG_OK} : xoltlog::map_rir_status(status);
}

}  // namespace

extern "C" {

XOLTLOG_API uint32_t xoltLogAppMsg2VEx(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                       uint32_t severity, const char* who, uint32_t id,
                                       const char* format, va_list args) noexcept {
  if (handle == nullptr || who == nullptr || format == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return render_and_build(*handle, flags, id, format, args, [&](const char* text, XoltRirMsg* rir) {
    return xoltLogAppMsg2LEx(handle, sequence, flags, severity, who, text, rir);
  });
}

XOLTLOG_API uint32_t xoltLogDiagMsg2V(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                      int32_t level, const char* who, uint32_t id,
                                      const char* format, va_list args) noexcept {
  if (handle == nullptr || who == nullptr || format == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  xoltlog::dyna_load_config(*handle);
  if (level > handle->diag_level) {
    return XOLTLOG_OK;
  }
  return render_and_build(*handle, flags, id, format, args, [&](const char* text, XoltRirMsg* rir) {
    return xoltLogDiagMsg2L(handle, sequence, flags, level, who, text, rir);
  });
}

XOLTLOG_API uint32_t xoltLogDebugMsg2V(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                       int32_t level, const char* who, const char* format,
                                       va_list args) noexcept {
  if (handle == nullptr || who == nullptr || format == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  xoltlog::dyna_load_config(*handle);
  if (level > handle->debug_level) {
    return XOLTLOG_OK;
  }
  const BlockPtr<char> text = xoltlog::render_format(format, args);
  const xoltlog::LibraryLockGuard held("xoltLogDebugMsg2V()");
  const xoltlog::BuildRequest request{XOLTLOG_MSG_DEBUG, sequence, flags, text.get()};
  return xoltlog::build_and_log(held, *handle, request, [&](XoltLogMsg& msg) {
    return xoltlog::set_who_and_level(msg, who, level);
  });
}

XOLTLOG_API uint32_t xoltLogAuditMsg2V(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                       const char* subject, uint32_t outcome, uint32_t id,
                                       const char* format, va_list args) noexcept {
  if (handle == nullptr || format == nullptr || id == 0) {
    return XOLTLOG_E_INVALID_ARG;
  }
  OwnedRir rir;
  if (const uint32_t result = request_audit_rir(*handle, id, format, args, rir);
      result != XOLTLOG_OK) {
    return result;
  }
  return xoltLogAuditMsg2L(handle, sequence, flags, subject, outcome, &rir.msg);
}

XOLTLOG_API uint32_t xoltLogSecureAuditMsgV(XoltLogHandle* handle, int32_t level,
                                            const char* subject, uint32_t outcome, uint32_t id,
                                            const char* format, va_list args) noexcept {
  if (handle == nullptr || format == nullptr || id == 0) {
    return XOLTLOG_E_INVALID_ARG;
  }
  if (level > handle->secure_audit_level) {
    return XOLTLOG_OK;
  }
  OwnedRir rir;
  if (const uint32_t result = request_audit_rir(*handle, id, format, args, rir);
      result != XOLTLOG_OK) {
    return result;
  }
  return xoltLogSecureAuditMsgL(handle, level, subject, outcome, &rir.msg);
}

}  // extern "C"
