// The builders: each checks its arguments and level, then fills a record of
// its family under the library lock (taken under the operation's own name)
// and logs it. The record only borrows the text: it is released before the
// builder returns. The Rir message handed in is the call's once the arguments
// passed: a filtered message releases it as well.
#include <cstdint>

#include "api/entry.h"
#include "api/handle_ops.h"
#include "frame/library_lock.h"
#include "message/record_attributes.h"
#include "xoltlog/log.h"

namespace {

using xoltlog::BuildRequest;
using xoltlog::LibraryLockGuard;

// Application and diagnostic builders need a text when flag 8 asks for it.
bool lacks_required_text(uint32_t flags, const char* text) noexcept {
  return (flags & xoltlog::kFlagPlainText) != 0 && text == nullptr;
}

}  // namespace

extern "C" {

XOLTLOG_API uint32_t xoltLogAppMsg2LEx(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                       uint32_t severity, const char* who, const char* text,
                                       XoltRirMsg* rir) noexcept {
  if (handle == nullptr || rir == nullptr || who == nullptr || lacks_required_text(flags, text)) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held("xoltLogAppMsg2LEx()");
  const BuildRequest request{XOLTLOG_MSG_APP, sequence, flags, text, rir, false, true};
  return xoltlog::build_and_log(held, *handle, request, [&](XoltLogMsg& msg) {
    xoltlog::set_who_and_severity(msg, who, severity);
    return std::uint32_t{XOLTLOG_OK};
  });
}

XOLTLOG_API uint32_t xoltLogDiagMsg2L(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                      int32_t level, const char* who, const char* text,
                                      XoltRirMsg* rir) noexcept {
  if (handle == nullptr || rir == nullptr || who == nullptr || lacks_required_text(flags, text)) {
    return XOLTLOG_E_INVALID_ARG;
  }
  if (level > xoltlog::unlocked(handle->diag_level).load(std::memory_order_relaxed)) {
    xoltRirFree(rir);
    return XOLTLOG_OK;
  }
  const LibraryLockGuard held("xoltLogDiagMsg2L()");
  const BuildRequest request{XOLTLOG_MSG_DIAG, sequence, flags, text, rir, false, true};
  return xoltlog::build_and_log(held, *handle, request, [&](XoltLogMsg& msg) {
    return xoltlog::set_who_and_level(msg, who, level);
  });
}

XOLTLOG_API uint32_t xoltLogAuditMsg2L(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                       const char* subject, uint32_t outcome,
                                       XoltRirMsg* rir) noexcept {
  if (handle == nullptr || rir == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held("xoltLogAuditMsg2L()");
  const BuildRequest request{XOLTLOG_MSG_AUDIT, sequence, flags, nullptr, rir};
  return xoltlog::build_and_log(held, *handle, request, [&](XoltLogMsg& msg) {
    xoltlog::set_subject_and_outcome(msg, subject, outcome);
    return std::uint32_t{XOLTLOG_OK};
  });
}

XOLTLOG_API uint32_t xoltLogSecureAuditMsgL(XoltLogHandle* handle, int32_t level,
                                            const char* subject, uint32_t outcome,
                                            XoltRirMsg* rir) noexcept {
  if (handle == nullptr || rir == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  if (level > xoltlog::unlocked(handle->secure_audit_level).load(std::memory_order_relaxed)) {
    xoltRirFree(rir);
    return XOLTLOG_OK;
  }
  const LibraryLockGuard held("xoltLogSecureAuditMsgL()");
  const BuildRequest request{
      XOLTLOG_MSG_SECURE_AUDIT, 0, xoltlog::kFlagEventLog, nullptr, rir, true};
  return xoltlog::build_and_log(held, *handle, request, [&](XoltLogMsg& msg) {
    xoltlog::set_secure_audit(msg, static_cast<std::uint32_t>(level), subject, outcome);
    return std::uint32_t{XOLTLOG_OK};
  });
}

XOLTLOG_API uint32_t xoltLogFormattedDebugMsg(XoltLogHandle* handle, uint32_t flags, int32_t level,
                                              const char* who, const char* text) noexcept {
  if (handle == nullptr || who == nullptr || text == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const LibraryLockGuard held("xoltLogFormattedDebugMsg()");
  const BuildRequest request{
      XOLTLOG_MSG_DEBUG, 0, flags | xoltlog::kFlagOwnSequence, text, nullptr, false, true};
  return xoltlog::build_and_log(held, *handle, request, [&](XoltLogMsg& msg) {
    return xoltlog::set_who_and_level(msg, who, level);
  });
}

}  // extern "C"
