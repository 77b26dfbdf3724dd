/* Contexts: a titled message that stays with a log file series while it
 * lives. Creating one writes a context message (type 3) into the parent's
 * log file; every new file the writer starts afterwards (ordinary series,
 * never logsets) begins with the records of its live contexts, most recent
 * first, unchanged: same sequence number and time as at creation.
 *
 * A context is caller-owned storage with the log handle's layout and can be
 * passed wherever a handle is expected: messages logged through it carry
 * its title as their context token and number from 1. It shares the
 * parent's configuration copy and event-log connection, so every context of
 * a handle is destroyed before the handle is closed. It must not move in
 * memory while it lives. */
#ifndef XOLTLOG_CONTEXT_H
#define XOLTLOG_CONTEXT_H

#include <stdint.h>

#include "xoltlog/export.h"
#include "xoltlog/handle.h"
#include "xoltlog/message.h"

XOLTLOG_BEGIN_DECLS

/* Builds the context message from title, message id and format as an
 * application message is built (id 0: the format rendered printf-style;
 * else a catalog message), then attaches and writes it with
 * xoltLogCreateContextToFile. 3 for a null parent, context, format or
 * title; 4; the catalog library's mapped codes (2, 3, 4, 10);
 * xoltLogCreateContextToFile's codes. The context record then holds memory
 * until xoltLogDestroyContext, whatever the result. */
XOLTLOG_API uint32_t xoltLogCreateContext(XoltLogHandle* parent, XoltLogHandle* context,
                                          const char* title, uint32_t id, const char* format,
                                          ...) XOLTLOG_NOEXCEPT;
/* Copies the parent's writer, levels, outputs and shared configuration into
 * context, writes record (normally &context->context_record) to the
 * parent's log file with rollover checks, and on success attaches the
 * context to the writer. 3 for a null parent, context or record; the
 * write's codes (57 without a log file, 1, 5, 54, ...): the context is then
 * left unattached. */
XOLTLOG_API uint32_t xoltLogCreateContextToFile(XoltLogHandle* parent, XoltLogHandle* context,
                                                XoltLogMsg* record) XOLTLOG_NOEXCEPT;
/* Releases the context record and detaches the context from its writer
 * (the writer closes its file when it was the last attachment): 0; 1 when
 * it was not attached (creation failed, or destroyed already); 3 for null. */
XOLTLOG_API uint32_t xoltLogDestroyContext(XoltLogHandle* context) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_CONTEXT_H */
