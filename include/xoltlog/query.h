/* Queries over log files: the tree a tool's parser builds and hands the
 * library (through a log file list's query), and the helpers tools use
 * around it.
 *
 * A node is a terminal when its kind is 257..261 (isterm): 257 a string
 * constant (value.text), 259 a field (value.number holds a field code), 258,
 * 260, 261 numeric constants. Any other kind is an operator code; operators
 * have both children. The library reads the tree, writes each evaluated
 * operator's slot, and changes time constants only in updateQueryForTZ.
 *
 * Supported trees have an operator at the root and at most 199 operator
 * nodes. Anything else (a terminal root, a missing child, a tree too deep
 * or too large, a cycle) makes an evaluation false, so the file is not
 * selected; nothing is read beyond the tree and its texts. String
 * constants are compared on their first 535 bytes for file names and 1031
 * bytes for headers. */
#ifndef XOLTLOG_QUERY_H
#define XOLTLOG_QUERY_H

#include <stdint.h>

#include "xoltlog/config.h"
#include "xoltlog/export.h"
#include "xoltlog/message.h"

XOLTLOG_BEGIN_DECLS

/* Terminal kinds. */
#define XOLTLOG_QUERY_STRING 257
#define XOLTLOG_QUERY_NUMBER 258
#define XOLTLOG_QUERY_FIELD 259
#define XOLTLOG_QUERY_NUMBER_2 260
#define XOLTLOG_QUERY_NUMBER_3 261

/* Operators on unsigned 32-bit operands (eval), and on texts for 287/288
 * (evalString). */
#define XOLTLOG_QUERY_AND 281
#define XOLTLOG_QUERY_OR 282
#define XOLTLOG_QUERY_LESS 283
#define XOLTLOG_QUERY_GREATER 284
#define XOLTLOG_QUERY_AT_MOST 285
#define XOLTLOG_QUERY_AT_LEAST 286
#define XOLTLOG_QUERY_EQUAL 287
#define XOLTLOG_QUERY_NOT_EQUAL 288

/* Fields, compared as the left operand whichever side holds them. Times
 * compare as their low 32 bits. What a file offers before its header is
 * read (file names, file times) and after (the header) differs: 264 is not
 * decided from a name, 265 only from one; 268 holds when either the start
 * (creation) time or the last write (modification) time satisfies the
 * comparison. */
#define XOLTLOG_QUERY_PRODUCT 263
#define XOLTLOG_QUERY_ORIGINATOR 264
#define XOLTLOG_QUERY_NAME_ORIGINATOR 265
#define XOLTLOG_QUERY_TIME 268
#define XOLTLOG_QUERY_START_TIME 269
#define XOLTLOG_QUERY_HOST 278
#define XOLTLOG_QUERY_LOGSET 279

/* Evaluations keep one result per operator node, in a table this size;
 * slot 0 is never used. */
#define XOLTLOG_QUERY_SLOTS 200

typedef struct XoltLogQueryNode {
  int32_t kind;
  int32_t slot; /* written by the evaluations; 0 in a new tree */
  union {
    const char* text; /* kind 257 */
    uint32_t number;  /* a field code or a numeric constant */
    uint64_t bits;
  } value;
  uint64_t parser_reserved;
  struct XoltLogQueryNode* left;
  struct XoltLogQueryNode* right;
} XoltLogQueryNode;

/* A context a tool knows of, kept in a table of 200 chains by
 * HashString(title, 200). context_text is owned by the entry (xoltLogFree). */
typedef struct XoltLogContextEntry {
  struct XoltLogContextEntry* next;
  uint32_t product_id;
  uint32_t originator_id;
  const char* title;
  char* context_text;
} XoltLogContextEntry;

#define XOLTLOG_CONTEXT_BUCKETS 200

/* 1 when kind is a terminal kind (257..261), else 0. */
XOLTLOG_API int32_t isterm(int32_t kind) XOLTLOG_NOEXCEPT;
/* op applied to a and b: 1 or 0; 0 for any other code. */
XOLTLOG_API int32_t eval(int32_t op, uint32_t a, uint32_t b) XOLTLOG_NOEXCEPT;
/* 287 equal, 288 different, byte for byte: 1 or 0; 0 for any other code.
 * A null text counts as empty. */
XOLTLOG_API int32_t evalString(int32_t op, const char* s, const char* t) XOLTLOG_NOEXCEPT;
/* hash = hash * 31 + byte (bytes as signed 8-bit, unsigned 32-bit
 * arithmetic) from 0, modulo buckets: "abc" gives 96354 % buckets. 0 for a
 * null text or 0 buckets. */
XOLTLOG_API uint32_t HashString(const char* text, uint32_t buckets) XOLTLOG_NOEXCEPT;
/* Moves the time constants compared with fields 268 and 269 (field on the
 * left, constant not 0) from local time here to the time of a file whose
 * header carries log_tz_offset: constant - (local offset - log_tz_offset).
 * 0 when the whole tree was walked; 1 for a null query, a missing child,
 * or a tree beyond the supported size (then partly adjusted). */
XOLTLOG_API uint32_t updateQueryForTZ(XoltLogQueryNode* query,
                                      int32_t log_tz_offset) XOLTLOG_NOEXCEPT;
/* The product id (field_code 263) or originator id (any other code) that
 * name denotes among count records: a whole decimal number equal to a
 * record's id, or one of the comma-separated names of the record's names
 * text with blanks removed. Records with an empty names text are passed
 * over. 0 when none does or an argument is null. */
XOLTLOG_API uint32_t GetIdFromName(XoltLogCfg* const* records, uint32_t count,
                                   int32_t field_code, const char* name) XOLTLOG_NOEXCEPT;
/* The entry of table (XOLTLOG_CONTEXT_BUCKETS chains) with the record's
 * product and originator and this title; null when none. For a context
 * record (type 3) the entry's context text becomes a copy of text (kept as
 * it was when the copy cannot be made). */
XOLTLOG_API XoltLogContextEntry* SearchContextTitleInList(const XoltLogMsg* record,
                                                          const char* text, const char* title,
                                                          XoltLogContextEntry** table)
    XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_QUERY_H */
