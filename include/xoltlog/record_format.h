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

/* Where and why xoltLogMsgParse refused a line. */
typedef struct XoltLogParseError {
  uint64_t offset;    /* bytes from the start of the line */
  const char* reason; /* static English text; null unless the result was 1 */
} XoltLogParseError;

/* Reads a record line back into record, for tools that show what a log file
 * holds: the line as readrecord delivers it (carriage returns already turned
 * back into line feeds; one ending line feed is allowed), length bytes that
 * need not be NUL-terminated, written with record_version (only 0x10007 and
 * 0x10008, which carry the numeric header, can be read). record is
 * overwritten, as xoltLogInitMsg does (release what it held first), and
 * then owns everything it holds: owns_strings and utf8 are 1, the text is
 * always a string, the context token, who, subject and context attribute are
 * strings when their field is not empty and null otherwise, and the catalog
 * message carries the line's argument list with its nested lists. Arguments
 * come back with the types the line names; the two operating-system error
 * types share one tag, so type 7 reads back as type 6 with its width of 64.
 * Release the record with xoltLogFreeMsg. A record read back serializes to
 * the line it was read from (with line feeds inside it turned to carriage
 * returns again).
 * Results: 0; 3 for a null line or record (nothing touched); 1 for a line
 * that is not a record line of that version: damaged or truncated, a byte
 * count running past its end, a NUL byte, nested lists deeper than
 * XOLT_RIR_MAX_NESTING, a secure audit type (never written to files), or a
 * wide argument that is not well-formed UTF-8; 4 when memory runs out. On
 * every result but 0 and 3 the record is zeroed and nothing is left
 * allocated. error may be null; otherwise it receives, for result 1, where
 * the reading stopped and why, and is zeroed for every other result. */
XOLTLOG_API uint32_t xoltLogMsgParse(const char* line, uint64_t length, uint32_t record_version,
                                     XoltLogMsg* record,
                                     XoltLogParseError* error) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_RECORD_FORMAT_H */
