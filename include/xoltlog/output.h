/* The event-log output of a log handle: opening and closing the connection
 * through which its events are reported.
 *
 * The operating system's event log is, on POSIX, the local syslog socket:
 * $XOLTLOG_SYSLOG_SOCKET when set (read at each open), else /dev/log. Each
 * event travels as one datagram in the framing of glibc's syslog(3), tagged
 * with the event source name, facility user (authpriv for secure audit).
 *
 * These return small numbers: 0 success, -1 failure, -3 a null argument.
 * They take the library lock, which guards handles and configuration
 * records. */
#ifndef XOLTLOG_OUTPUT_H
#define XOLTLOG_OUTPUT_H

#include <stdint.h>

#include "xoltlog/config.h"
#include "xoltlog/export.h"
#include "xoltlog/handle.h"

XOLTLOG_BEGIN_DECLS

/* Copies the source's category into the connection and connects to the
 * event log as the source named by source->name (at most its 80 bytes; it
 * need not be terminated within them). -1 when the event log cannot be
 * reached (nobody listens on the socket) or memory runs out; the connection
 * is then closed (null). The connection is overwritten: close an open one
 * first. */
XOLTLOG_API int32_t osLogOpen(const XoltLogEventSource* source,
                              XoltLogOsLogConn* connection) XOLTLOG_NOEXCEPT;
/* The same operation with the same checks. */
XOLTLOG_API int32_t osLogOpenEx(const XoltLogEventSource* source,
                                XoltLogOsLogConn* connection) XOLTLOG_NOEXCEPT;
/* Closes the connection when it is open and clears it; 0 also for one that
 * is not open. */
XOLTLOG_API int32_t osLogClose(XoltLogOsLogConn* connection) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_OUTPUT_H */
