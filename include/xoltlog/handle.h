/* The log handle: caller-owned storage of 1768 bytes that the open
 * operations fill. A context has the same layout. The handle must not move
 * in memory while it is open. */
#ifndef XOLTLOG_HANDLE_H
#define XOLTLOG_HANDLE_H

#include <stdint.h>

#include "xoltlog/export.h"
#include "xoltlog/message.h"

XOLTLOG_BEGIN_DECLS

/* Output flags of a handle. */
#define XOLTLOG_OUT_STDOUT 1u
#define XOLTLOG_OUT_STDERR 2u
#define XOLTLOG_OUT_OSLOG 4u
#define XOLTLOG_OUT_OSLOG_ID 64u

struct XoltLogFileWriter; /* the library's own */
struct XoltLogCfg;        /* configuration record */

/* The event-log output opened for a handle. */
typedef struct XoltLogOsLogConn {
  void* event_log; /* null when not open */
  uint16_t category;
} XoltLogOsLogConn;

typedef struct XoltLogLocalizerList {
  uint64_t first;
  uint64_t second;
} XoltLogLocalizerList;

typedef struct XoltLogHandle {
  struct XoltLogFileWriter* file_writer; /* null for a secure handle */
  int32_t debug_level;
  int32_t diag_level;
  int32_t secure_audit_level;
  uint32_t output_flags;   /* XOLTLOG_OUT_* */
  uint32_t context_marker; /* 1 for a handle; 0 for a live context */
  XoltLogMsg context_record;
  XoltLogOsLogConn oslog;
  struct XoltLogHandle* next; /* the file writer's attached list */
  XoltLogLocalizerList localizers;
  uint32_t sequence_counter; /* the next sequence number to give out */
  int64_t open_time;
  int64_t last_reload_check;
  int32_t reload_interval;
  struct XoltLogCfg* config;
  uint32_t utf8;
  uint32_t originator_id;
} XoltLogHandle;

/* Gives out the handle's sequence counter and advances it (modulo 2^32),
 * under the library lock; 0 for a null handle. */
XOLTLOG_API uint32_t GetNextSequenceNumber(XoltLogHandle* handle) XOLTLOG_NOEXCEPT;
/* The calling process's and thread's identifiers. */
XOLTLOG_API uint32_t getPID(void) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t getTID(void) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_HANDLE_H */
