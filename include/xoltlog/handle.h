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

/* Opens handle for product: levels and output flags of originator, log file
 * of file_originator. 3 for a zero identifier or null handle (the handle
 * untouched), 4, the codes of xoltLogReadCfg and xoltLogOpenFile, 22 when
 * the event-log output asked for cannot be opened (the handle then logs to
 * files all the same). A handle whose open failed after it was connected
 * is closed as usual. */
XOLTLOG_API uint32_t xoltLogOpen2(uint32_t product, uint32_t originator, uint32_t file_originator,
                                  XoltLogHandle* handle) XOLTLOG_NOEXCEPT;
/* xoltLogOpen2 with originator as its own file originator. */
XOLTLOG_API uint32_t xoltLogOpen(uint32_t product, uint32_t originator,
                                 XoltLogHandle* handle) XOLTLOG_NOEXCEPT;
/* A handle without a log file that reports secure audit messages to the
 * event log. Stores product and originator into cfg, of which the handle
 * keeps a copy. unused is not looked at. 3, 22 (event log unreachable). */
XOLTLOG_API uint32_t xoltLogSecureOpen(uint32_t product, uint32_t originator, void* unused,
                                       struct XoltLogCfg* cfg,
                                       XoltLogHandle* handle) XOLTLOG_NOEXCEPT;
/* Releases what the open allocated and detaches the handle from its file
 * writer: 0, 1 (not on its writer's list), 3 for a null handle and for a
 * handle without a writer (secure, closed or never opened), after
 * releasing everything; 3 with nothing done for a live context (see
 * xoltLogDestroyContext). Contexts that outlive their parent lose its
 * configuration copy and event-log connection. */
XOLTLOG_API uint32_t xoltLogClose(XoltLogHandle* handle) XOLTLOG_NOEXCEPT;

/* Levels: 3 for a null handle or output, else 0. The debug and diagnostic
 * getters let xoltDynaLoadConfig refresh the levels first. The setters
 * store any value as given. */
XOLTLOG_API uint32_t xoltLogGetDebugLevel(XoltLogHandle* handle, int32_t* level) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetDiagLevel(XoltLogHandle* handle, int32_t* level) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogSetDebugLevel(XoltLogHandle* handle, int32_t level) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogSetDiagLevel(XoltLogHandle* handle, int32_t level) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogGetSecureAuditLevel(XoltLogHandle* handle,
                                                int32_t* level) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogSetSecureAuditLevel(XoltLogHandle* handle,
                                                int32_t level) XOLTLOG_NOEXCEPT;
/* The next sequence number to give out, and setting it: 3 for null, else 0. */
XOLTLOG_API uint32_t xoltLogGetSequenceNumber(XoltLogHandle* handle,
                                              uint32_t* number) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t xoltLogSetSequenceNumber(XoltLogHandle* handle,
                                              uint32_t number) XOLTLOG_NOEXCEPT;
/* Sets both fields to 0; nothing for null. */
XOLTLOG_API void InitializeLocalizerList(XoltLogLocalizerList* list) XOLTLOG_NOEXCEPT;

/* Once the handle's reload interval (at least 60 s; 0 never) has passed
 * since the last check, rereads the debug and diagnostic levels and the
 * interval of its originator from the store. A failed read sets all three
 * to 0. Always 0. */
XOLTLOG_API uint32_t xoltDynaLoadConfig(XoltLogHandle* handle) XOLTLOG_NOEXCEPT;
/* Refreshes the writer's file security settings (where the store sets
 * them) and the reload interval of the configuration copy of its handle of
 * the writer's own originator: 0; 6 when there is no such handle, it has no
 * copy, or the store cannot be read (nothing changed); 3 for null; 4 when
 * a setting cannot be copied (nothing changed). */
XOLTLOG_API uint32_t xoltReLoadCfg(struct XoltLogFileWriter* writer) XOLTLOG_NOEXCEPT;

/* Gives out the handle's sequence counter and advances it (modulo 2^32),
 * under the library lock; 0 for a null handle. */
XOLTLOG_API uint32_t GetNextSequenceNumber(XoltLogHandle* handle) XOLTLOG_NOEXCEPT;
/* The calling process's and thread's identifiers. */
XOLTLOG_API uint32_t getPID(void) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t getTID(void) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_HANDLE_H */
