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

XOLTLOG_API void init_text_msg(XoltLogTextMsg* buffer) XOLTLOG_NOEXCEPT;
XOLTLOG_API void free_text_msg(XoltLogTextMsg* buffer) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_RECORD_FORMAT_H */
