/* The record line: how a message record is written into a log file. */
#ifndef XOLTLOG_RECORD_FORMAT_H
#define XOLTLOG_RECORD_FORMAT_H

#include <stdint.h>

#include "xoltlog/export.h"
#include "xoltlog/message.h"

XOLTLOG_BEGIN_DECLS

#define XOLTLOG_TEXT_INLINE_SIZE 4096

/* A growable byte buffer with inline storage; the content is the first
 * capacity - remaining bytes of storage, not NUL-terminated. */
typedef struct XoltLogTextMsg {
  char inline_storage[XOLTLOG_TEXT_INLINE_SIZE];
  char* storage; /* inline_storage or a heap block */
  uint64_t remaining;
  uint64_t capacity; /* XOLTLOG_TEXT_INLINE_SIZE while inline */
} XoltLogTextMsg;

/* Empty content on the inline storage. A null buffer is ignored. */
XOLTLOG_API void init_text_msg(XoltLogTextMsg* buffer) XOLTLOG_NOEXCEPT;
/* Releases the heap block, if any, and leaves the buffer empty on its inline
 * storage, so a second call does nothing. A null buffer is ignored. */
XOLTLOG_API void free_text_msg(XoltLogTextMsg* buffer) XOLTLOG_NOEXCEPT;

/* Writes the record line of record into buffer, which need not be
 * initialized: one line ended by one line feed (line feeds inside
 * the record's strings become carriage returns). The record's version
 * (65540 to 65544) selects the numeric header; the record is only read.
 * Results: 0, the caller releases the buffer with free_text_msg; 3 for a
 * null argument or for nested messages deeper than XOLT_RIR_MAX_NESTING
 * (xoltlog/rir.h), which no reader would accept; 1 for a record that cannot
 * be written (version, a secure audit or unknown message type, an
 * application severity above 4, an argument of unknown type or without its
 * value, a wide character or string without a UTF-8 form); 4 when memory
 * runs out. On every result but 0 nothing is left for the caller to
 * release. Text that has no UTF-8 form
 * does not fail the record: its field carries
 * "**UNABLE TO PROCESS LOG MESSAGE**". */
XOLTLOG_API uint32_t xoltLogMsgSerialize(XoltLogMsg* record,
                                         XoltLogTextMsg* buffer) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_RECORD_FORMAT_H */
