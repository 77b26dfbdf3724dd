/* Logging one message: application messages with a severity, diagnostic and
 * debug messages with a level, audit and secure audit messages with a
 * subject and an outcome. Every family ends in xoltLogMsg.
 *
 * Call flags, combined with the handle's output flags for the outputs:
 *   1  also standard output (every kind but audit)
 *   2  also standard error (diagnostic and application messages)
 *   4  also the event log (application and secure audit messages), through
 *      the connection the open made when the handle's configuration asked
 *      for event-log output; without one an application message is not
 *      reported and the call is not failed
 *   8  always render the plain printf-style text as well, even when the
 *      catalog message was obtained; the prepared (L) variants then need a
 *      text (3 without one)
 *   16 keep the handle's own sequence number; without it the sequence
 *      argument replaces it
 * The short forms without a sequence argument add 16 to the caller's flags.
 *
 * Arguments: who and subject are borrowed for the call; a null subject is
 * logged as an empty one. Message id 0 means no catalog message (the
 * format is rendered printf-style), a nonzero id asks the catalog library
 * for one (xoltRirVEx with the handle's UTF-8 flag). As with printf, a
 * format must not have more conversions than arguments; a null string
 * argument is logged as "(null)". A Rir message passed in stays the
 * caller's when the call refuses its arguments; once they are accepted it
 * belongs to the call, which leaves it zeroed, also when the message is
 * filtered out or its record cannot be set up (3 for a handle never
 * opened) - except that a secure audit message whose record cannot be set
 * up leaves it to the caller.
 *
 * Results: 0; 0 with nothing logged when the level filters the message out;
 * 3 for a null handle, who, format, text or Rir message where one is
 * required, a zero message id for audit messages, and a handle never opened
 * (zeroed storage) when its level does not filter the message out first;
 * 1 for a debug or diagnostic level outside 1..6 (nothing logged), and for
 * an application severity outside 0..4 (no record written, the outputs
 * still ran); 2, 3, 4, 10 when the catalog library failed (nothing logged);
 * 57 when the handle has no log file, as after xoltLogClose (the console
 * and event-log outputs still ran); 58 for a secure audit message on a
 * handle with a log file; the file write's codes (5, 54, ...), which win
 * over the outputs' codes: the formatting library's status for a console
 * copy, XOLTLOG_E_OSLOG_REFUSED for a secure audit message the event log
 * did not take. */
#ifndef XOLTLOG_LOG_H
#define XOLTLOG_LOG_H

#include <stdarg.h>
#include <stdint.h>

#include "xoltlog/export.h"
#include "xoltlog/handle.h"
#include "xoltlog/message.h"
#include "xoltlog/rir.h"

XOLTLOG_BEGIN_DECLS

#define XOLTLOG_FLAG_STDOUT 1u
#define XOLTLOG_FLAG_STDERR 2u
#define XOLTLOG_FLAG_OSLOG 4u
#define XOLTLOG_FLAG_PLAIN_TEXT 8u
#define XOLTLOG_FLAG_OWN_SEQUENCE 16u

/* Application messages (type 2). */
XOLTLOG_API uint32_t xoltLogAppMsg(XoltLogHandle* handle, uint32_t flags, uint32_t severity,
                                   uint32_t id, const char* format, ...) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogAppMsgEx(XoltLogHandle* handle, uint32_t flags, uint32_t severity,
                                     const char* who, uint32_t id, const char* format,
                                     ...) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogAppMsg2(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                    uint32_t severity, uint32_t id, const char* format,
                                    ...) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogAppMsg2Ex(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                      uint32_t severity, const char* who, uint32_t id,
                                      const char* format, ...) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogAppMsg2V(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                     uint32_t severity, uint32_t id, const char* format,
                                     va_list args) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogAppMsg2VEx(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                       uint32_t severity, const char* who, uint32_t id,
                                       const char* format, va_list args) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogAppMsg2L(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                     uint32_t severity, const char* text,
                                     XoltRirMsg* rir) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogAppMsg2LEx(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                       uint32_t severity, const char* who, const char* text,
                                       XoltRirMsg* rir) XOLTLOG_NOEXCEPT;

/* Diagnostic messages (type 1): dropped when level is above the handle's
 * diagnostic level, after xoltDynaLoadConfig had its chance. */
XOLTLOG_API uint32_t xoltLogDiagMsg(XoltLogHandle* handle, uint32_t flags, int32_t level,
                                    const char* who, uint32_t id, const char* format,
                                    ...) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogDiagMsg2(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                     int32_t level, const char* who, uint32_t id,
                                     const char* format, ...) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogDiagMsg2V(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                      int32_t level, const char* who, uint32_t id,
                                      const char* format, va_list args) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogDiagMsg2L(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                      int32_t level, const char* who, const char* text,
                                      XoltRirMsg* rir) XOLTLOG_NOEXCEPT;

/* Debug messages (type 0): printf-style only; dropped like diagnostic
 * messages against the debug level. xoltLogFormattedDebugMsg takes a
 * rendered text and is written whatever the level. */
XOLTLOG_API uint32_t xoltLogDebugMsg(XoltLogHandle* handle, uint32_t flags, int32_t level,
                                     const char* who, const char* format, ...) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogDebugMsg2(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                      int32_t level, const char* who, const char* format,
                                      ...) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogDebugMsg2V(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                       int32_t level, const char* who, const char* format,
                                       va_list args) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogFormattedDebugMsg(XoltLogHandle* handle, uint32_t flags, int32_t level,
                                              const char* who, const char* text) XOLTLOG_NOEXCEPT;

/* Audit messages (type 4): catalog messages only, id must be nonzero. */
XOLTLOG_API uint32_t xoltLogAuditMsg(XoltLogHandle* handle, uint32_t flags, const char* subject,
                                     uint32_t outcome, uint32_t id, const char* format,
                                     ...) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogAuditMsg2(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                      const char* subject, uint32_t outcome, uint32_t id,
                                      const char* format, ...) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogAuditMsg2V(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                       const char* subject, uint32_t outcome, uint32_t id,
                                       const char* format, va_list args) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogAuditMsg2L(XoltLogHandle* handle, uint32_t sequence, uint32_t flags,
                                       const char* subject, uint32_t outcome,
                                       XoltRirMsg* rir) XOLTLOG_NOEXCEPT;

/* Secure audit messages (type 5): only on a handle from xoltLogSecureOpen
 * (58 otherwise), reported to the event log with sequence number 0; dropped
 * when level is above the handle's secure audit level. */
XOLTLOG_API uint32_t xoltLogSecureAuditMsg(XoltLogHandle* handle, int32_t level,
                                           const char* subject, uint32_t outcome, uint32_t id,
                                           const char* format, ...) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogSecureAuditMsgV(XoltLogHandle* handle, int32_t level,
                                            const char* subject, uint32_t outcome, uint32_t id,
                                            const char* format, va_list args) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogSecureAuditMsgL(XoltLogHandle* handle, int32_t level,
                                            const char* subject, uint32_t outcome,
                                            XoltRirMsg* rir) XOLTLOG_NOEXCEPT;

/* Logs a prepared record: renders a pending printf-style Rir message
 * (identifier 0) into its text, appends it to the handle's log file (not a
 * secure audit record) and hands it to the outputs. The record stays the
 * caller's. 3 for a null handle or record. */
XOLTLOG_API uint32_t xoltLogMsg(XoltLogHandle* handle, uint32_t flags,
                                XoltLogMsg* msg) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_LOG_H */
