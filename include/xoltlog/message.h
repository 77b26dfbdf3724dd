/* The message record: one log message on its way from an entry point to the
 * log file and the other outputs. Caller-owned storage of 1648 bytes. */
#ifndef XOLTLOG_MESSAGE_H
#define XOLTLOG_MESSAGE_H

#include <stdint.h>

#include "xoltlog/export.h"
#include "xoltlog/result.h"
#include "xoltlog/rir.h"

XOLTLOG_BEGIN_DECLS

enum XoltLogMsgType {
  XOLTLOG_MSG_DEBUG = 0,
  XOLTLOG_MSG_DIAG = 1,
  XOLTLOG_MSG_APP = 2,
  XOLTLOG_MSG_CONTEXT = 3,
  XOLTLOG_MSG_AUDIT = 4,
  XOLTLOG_MSG_SECURE_AUDIT = 5
};

/* Record versions: ordinary files and logset files. */
#define XOLTLOG_RECORD_VERSION 0x10007u
#define XOLTLOG_RECORD_VERSION_LOGSET 0x10008u

#define XOLTLOG_MSG_RESERVED_BYTES 1536

/* First attribute: level or severity for every type but context, whose slot
 * holds the owned context attribute (the context's title). */
typedef union XoltLogMsgAttr {
  int32_t level;
  uint32_t severity;
  char* context_attr;
  uint64_t raw;
} XoltLogMsgAttr;

typedef struct XoltLogMsg {
  uint32_t owns_strings;    /* 1: context_token and who_or_subject are owned */
  uint32_t record_version;  /* set by the file writer before serializing */
  uint32_t type;            /* enum XoltLogMsgType */
  uint32_t product_id;      /* 0 when the handle has no file writer */
  uint32_t originator_id;   /* 0 when the handle has no file writer */
  uint32_t file_originator; /* set by the file writer */
  uint32_t sequence;
  int64_t timestamp_ms; /* milliseconds since 1970-01-01 UTC */
  uint32_t process_id;
  uint32_t thread_id;
  char* context_token; /* borrowed from the context unless owns_strings */
  char* text;          /* always owned */
  uint8_t reserved[XOLTLOG_MSG_RESERVED_BYTES];
  uint32_t utf8;            /* nonzero: strings are UTF-8 already */
  XoltLogMsgAttr attr;      /* level, severity or context attribute */
  char* who_or_subject;     /* borrowed unless owns_strings */
  uint32_t outcome;         /* audit and secure audit: 0 success */
  XoltRirMsg rir;           /* owned through the message-catalog library */
} XoltLogMsg;

struct XoltLogHandle;

/* Record functions return result codes: 0, or 3 for a null required pointer
 * (the record, the handle, an out pointer) or a getter asked for an
 * attribute of another message type; the caller's variable is then left as
 * it was. Getters hand out the record's own strings. */

/* Zeroes and fills the record for handle, under the library lock: next
 * sequence number of the handle, process and thread, product and originator
 * (0 when the handle has no file writer), time, the context token when the
 * handle is a live context (0 context marker), and a copy of text. */
XOLTLOG_API uint32_t xoltLogInitMsg(XoltLogMsg* msg, struct XoltLogHandle* handle, uint32_t type,
                                    const char* text) XOLTLOG_NOEXCEPT;
/* Releases what the record owns and zeroes it: 0 (also for null), or 1 when
 * the catalog library failed to release the Rir message. */
XOLTLOG_API uint32_t xoltLogFreeMsg(XoltLogMsg* msg) XOLTLOG_NOEXCEPT;

/* Setters store without checking the record's type. */
XOLTLOG_API uint32_t xoltLogSetAppAttr(XoltLogMsg* msg, uint32_t severity) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogSetAppAttrEx(XoltLogMsg* msg, const char* who,
                                         uint32_t severity) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogSetAuditAttr(XoltLogMsg* msg, const char* subject,
                                         uint32_t outcome) XOLTLOG_NOEXCEPT;
/* Stores an owned copy: 3 for a null string, 4 when the copy fails. */
XOLTLOG_API uint32_t xoltLogSetContextAttr(XoltLogMsg* msg, const char* context) XOLTLOG_NOEXCEPT;
/* 3 for a null who; otherwise stored, and 1 for a level outside 1..6. */
XOLTLOG_API uint32_t xoltLogSetDiagAttr(XoltLogMsg* msg, const char* who,
                                        int32_t level) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogSetDebugAttr(XoltLogMsg* msg, const char* who,
                                         int32_t level) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogSetSecureAuditAttr(XoltLogMsg* msg, uint32_t level, const char* subject,
                                               uint32_t outcome) XOLTLOG_NOEXCEPT;

/* Getters for every message type. */
XOLTLOG_API uint32_t xoltLogGetMsgType(const XoltLogMsg* msg, uint32_t* type) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetMsgProductId(const XoltLogMsg* msg, uint32_t* id) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetMsgOriginatorId(const XoltLogMsg* msg,
                                               uint32_t* id) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetMsgFid(const XoltLogMsg* msg, uint32_t* id) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetMsgPid(const XoltLogMsg* msg, uint32_t* pid) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetMsgTid(const XoltLogMsg* msg, uint32_t* tid) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetMsgTimestamp(const XoltLogMsg* msg,
                                            int64_t* timestamp_ms) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetMsgText(const XoltLogMsg* msg, const char** text) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetMsgContextToken(const XoltLogMsg* msg,
                                               const char** token) XOLTLOG_NOEXCEPT;
/* The address of the record's own Rir message. */
XOLTLOG_API uint32_t xoltLogGetMsgRir(XoltLogMsg* msg, XoltRirMsg** rir) XOLTLOG_NOEXCEPT;

/* Getters for one message type (or two, where named). */
XOLTLOG_API uint32_t xoltLogGetMsgDebugLevel(const XoltLogMsg* msg,
                                             int32_t* level) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetMsgDebugAttrLevel(const XoltLogMsg* msg,
                                                 int32_t* level) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetMsgDebugAttrWho(const XoltLogMsg* msg,
                                               const char** who) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetMsgDiagLevel(const XoltLogMsg* msg,
                                            int32_t* level) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetMsgDiagAttrLevel(const XoltLogMsg* msg,
                                                int32_t* level) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetMsgDiagAttrWho(const XoltLogMsg* msg,
                                              const char** who) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetMsgAppAttrSeverity(const XoltLogMsg* msg,
                                                  uint32_t* severity) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetMsgAppAttrWho(const XoltLogMsg* msg,
                                             const char** who) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetMsgContextAttrToken(const XoltLogMsg* msg,
                                                   const char** context) XOLTLOG_NOEXCEPT;
/* Audit (4) and secure audit (5). */
XOLTLOG_API uint32_t xoltLogGetMsgAuditAttrSubject(const XoltLogMsg* msg,
                                                   const char** subject) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetMsgAuditAttrOutcome(const XoltLogMsg* msg,
                                                   uint32_t* outcome) XOLTLOG_NOEXCEPT;
/* Secure audit (5) only. */
XOLTLOG_API uint32_t xoltLogGetMsgAuditLevel(const XoltLogMsg* msg,
                                             uint32_t* level) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_MESSAGE_H */
