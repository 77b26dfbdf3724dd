// Exported message-record operations: release, set and read. Filling a
// record needs the handle's file writer, so xoltLogInitMsg lives in api/.
#include "message/record.h"
#include "message/record_attributes.h"
#include "xoltlog/message.h"

#include <cstddef>

// The record is caller storage shared with code built elsewhere: its layout
// is fixed.
static_assert(sizeof(XoltLogMsg) == 1648);
static_assert(offsetof(XoltLogMsg, timestamp_ms) == 32);
static_assert(offsetof(XoltLogMsg, context_token) == 48);
static_assert(offsetof(XoltLogMsg, text) == 56);
static_assert(offsetof(XoltLogMsg, reserved) == 64);
static_assert(offsetof(XoltLogMsg, utf8) == 1600);
static_assert(offsetof(XoltLogMsg, attr) == 1608);
static_assert(offsetof(XoltLogMsg, who_or_subject) == 1616);
static_assert(offsetof(XoltLogMsg, outcome) == 1624);
static_assert(offsetof(XoltLogMsg, rir) == 1632);
static_assert(sizeof(XoltRirMsg) == 16);

using xoltlog::kAnyMessageType;
using xoltlog::message_type_bit;
using xoltlog::read_attribute;

namespace {

constexpr std::uint32_t kDebugOnly = message_type_bit(XOLTLOG_MSG_DEBUG);
constexpr std::uint32_t kDiagOnly = message_type_bit(XOLTLOG_MSG_DIAG);
constexpr std::uint32_t kAppOnly = message_type_bit(XOLTLOG_MSG_APP);
constexpr std::uint32_t kContextOnly = message_type_bit(XOLTLOG_MSG_CONTEXT);
constexpr std::uint32_t kSecureAuditOnly = message_type_bit(XOLTLOG_MSG_SECURE_AUDIT);
constexpr std::uint32_t kAnyAudit = message_type_bit(XOLTLOG_MSG_AUDIT) | kSecureAuditOnly;

const char* who_of(const XoltLogMsg& msg) noexcept { return msg.who_or_subject; }
std::int32_t level_of(const XoltLogMsg& msg) noexcept { return msg.attr.level; }
std::uint32_t number_of(const XoltLogMsg& msg) noexcept { return msg.attr.severity; }

}  // namespace

extern "C" {

XOLTLOG_API uint32_t xoltLogFreeMsg(XoltLogMsg* msg) noexcept {
  if (msg == nullptr) {
    return XOLTLOG_OK;
  }
  return xoltlog::free_record(*msg);
}

XOLTLOG_API uint32_t xoltLogSetAppAttr(XoltLogMsg* msg, uint32_t severity) noexcept {
  if (msg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  xoltlog::set_severity(*msg, severity);
  return XOLTLOG_OK;
}

XOLTLOG_API uint32_t xoltLogSetAppAttrEx(XoltLogMsg* msg, const char* who,
                                         uint32_t severity) noexcept {
  if (msg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  xoltlog::set_who_and_severity(*msg, who, severity);
  return XOLTLOG_OK;
}

XOLTLOG_API uint32_t xoltLogSetAuditAttr(XoltLogMsg* msg, const char* subject,
                                         uint32_t outcome) noexcept {
  if (msg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  xoltlog::set_subject_and_outcome(*msg, subject, outcome);
  return XOLTLOG_OK;
}

XOLTLOG_API uint32_t xoltLogSetContextAttr(XoltLogMsg* msg, const char* context) noexcept {
  if (msg == nullptr || context == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::set_context_attribute(*msg, context);
}

XOLTLOG_API uint32_t xoltLogSetDiagAttr(XoltLogMsg* msg, const char* who,
                                        int32_t level) noexcept {
  if (msg == nullptr || who == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::set_who_and_level(*msg, who, level);
}

XOLTLOG_API uint32_t xoltLogSetDebugAttr(XoltLogMsg* msg, const char* who,
                                         int32_t level) noexcept {
  return xoltLogSetDiagAttr(msg, who, level);
}

XOLTLOG_API uint32_t xoltLogSetSecureAuditAttr(XoltLogMsg* msg, uint32_t level,
                                               const char* subject, uint32_t outcome) noexcept {
  if (msg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  xoltlog::set_secure_audit(*msg, level, subject, outcome);
  return XOLTLOG_OK;
}

XOLTLOG_API uint32_t xoltLogGetMsgType(const XoltLogMsg* msg, uint32_t* type) noexcept {
  return read_attribute(msg, type, kAnyMessageType, [](const XoltLogMsg& m) { return m.type; });
}

XOLTLOG_API uint32_t xoltLogGetMsgProductId(const XoltLogMsg* msg, uint32_t* id) noexcept {
  return read_attribute(msg, id, kAnyMessageType,
                        [](const XoltLogMsg& m) { return m.product_id; });
}

XOLTLOG_API uint32_t xoltLogGetMsgOriginatorId(const XoltLogMsg* msg, uint32_t* id) noexcept {
  return read_attribute(msg, id, kAnyMessageType,
                        [](const XoltLogMsg& m) { return m.originator_id; });
}

XOLTLOG_API uint32_t xoltLogGetMsgFid(const XoltLogMsg* msg, uint32_t* id) noexcept {
  return read_attribute(msg, id, kAnyMessageType,
                        [](const XoltLogMsg& m) { return m.file_originator; });
}

XOLTLOG_API uint32_t xoltLogGetMsgPid(const XoltLogMsg* msg, uint32_t* pid) noexcept {
  return read_attribute(msg, pid, kAnyMessageType,
                        [](const XoltLogMsg& m) { return m.process_id; });
}

XOLTLOG_API uint32_t xoltLogGetMsgTid(const XoltLogMsg* msg, uint32_t* tid) noexcept {
  return read_attribute(msg, tid, kAnyMessageType,
                        [](const XoltLogMsg& m) { return m.thread_id; });
}

XOLTLOG_API uint32_t xoltLogGetMsgTimestamp(const XoltLogMsg* msg,
                                            int64_t* timestamp_ms) noexcept {
  return read_attribute(msg, timestamp_ms, kAnyMessageType,
                        [](const XoltLogMsg& m) { return m.timestamp_ms; });
}

XOLTLOG_API uint32_t xoltLogGetMsgText(const XoltLogMsg* msg, const char** text) noexcept {
  return read_attribute(msg, text, kAnyMessageType,
                        [](const XoltLogMsg& m) -> const char* { return m.text; });
}

XOLTLOG_API uint32_t xoltLogGetMsgContextToken(const XoltLogMsg* msg,
                                               const char** token) noexcept {
  return read_attribute(msg, token, kAnyMessageType,
                        [](const XoltLogMsg& m) -> const char* { return m.context_token; });
}

XOLTLOG_API uint32_t xoltLogGetMsgRir(XoltLogMsg* msg, XoltRirMsg** rir) noexcept {
  if (msg == nullptr || rir == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  *rir = &msg->rir;
  return XOLTLOG_OK;
}

XOLTLOG_API uint32_t xoltLogGetMsgDebugLevel(const XoltLogMsg* msg, int32_t* level) noexcept {
  return read_attribute(msg, level, kDebugOnly, level_of);
}

XOLTLOG_API uint32_t xoltLogGetMsgDebugAttrLevel(const XoltLogMsg* msg,
                                                 int32_t* level) noexcept {
  return read_attribute(msg, level, kDebugOnly, level_of);
}

XOLTLOG_API uint32_t xoltLogGetMsgDebugAttrWho(const XoltLogMsg* msg, const char** who) noexcept {
  return read_attribute(msg, who, kDebugOnly, who_of);
}

XOLTLOG_API uint32_t xoltLogGetMsgDiagLevel(const XoltLogMsg* msg, int32_t* level) noexcept {
  return read_attribute(msg, level, kDiagOnly, level_of);
}

XOLTLOG_API uint32_t xoltLogGetMsgDiagAttrLevel(const XoltLogMsg* msg, int32_t* level) noexcept {
  return read_attribute(msg, level, kDiagOnly, level_of);
}

XOLTLOG_API uint32_t xoltLogGetMsgDiagAttrWho(const XoltLogMsg* msg, const char** who) noexcept {
  return read_attribute(msg, who, kDiagOnly, who_of);
}

XOLTLOG_API uint32_t xoltLogGetMsgAppAttrSeverity(const XoltLogMsg* msg,
                                                  uint32_t* severity) noexcept {
  return read_attribute(msg, severity, kAppOnly, number_of);
}

XOLTLOG_API uint32_t xoltLogGetMsgAppAttrWho(const XoltLogMsg* msg, const char** who) noexcept {
  return read_attribute(msg, who, kAppOnly, who_of);
}

XOLTLOG_API uint32_t xoltLogGetMsgContextAttrToken(const XoltLogMsg* msg,
                                                   const char** context) noexcept {
  return read_attribute(msg, context, kContextOnly,
                        [](const XoltLogMsg& m) -> const char* { return m.attr.context_attr; });
}

XOLTLOG_API uint32_t xoltLogGetMsgAuditAttrSubject(const XoltLogMsg* msg,
                                                   const char** subject) noexcept {
  return read_attribute(msg, subject, kAnyAudit, who_of);
}

XOLTLOG_API uint32_t xoltLogGetMsgAuditAttrOutcome(const XoltLogMsg* msg,
                                                   uint32_t* outcome) noexcept {
  return read_attribute(msg, outcome, kAnyAudit, [](const XoltLogMsg& m) { return m.outcome; });
}

XOLTLOG_API uint32_t xoltLogGetMsgAuditLevel(const XoltLogMsg* msg, uint32_t* level) noexcept {
  return read_attribute(msg, level, kSecureAuditOnly, number_of);
}

}  // extern "C"
