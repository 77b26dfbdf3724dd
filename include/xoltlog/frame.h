/* Library frame: memory helpers, the library lock and result mapping. */
#ifndef XOLTLOG_FRAME_H
#define XOLTLOG_FRAME_H

#include <stdint.h>

#include "xoltlog/export.h"
#include "xoltlog/result.h"

XOLTLOG_BEGIN_DECLS

/* ---- Memory ----------------------------------------------------------
 * Every block the library hands to a caller comes from xoltLogMalloc (or
 * xoltLogSafeStrdup) and must go back through xoltLogFree or the owning
 * operation's release function, never through another allocator. */

/* A new block of size bytes, or null when size is 0 or memory is exhausted. */
XOLTLOG_API void* xoltLogMalloc(uint64_t size) XOLTLOG_NOEXCEPT;
/* Releases a block from xoltLogMalloc; null is ignored. */
XOLTLOG_API void xoltLogFree(void* block) XOLTLOG_NOEXCEPT;
/* A heap copy of text (length + 1 bytes); null for null text or no memory. */
XOLTLOG_API char* xoltLogSafeStrdup(const char* text) XOLTLOG_NOEXCEPT;
/* Frees a message text the library returned: 3 for null, else 0. */
XOLTLOG_API uint32_t xoltLogResFreeErrorMessage(char* message) XOLTLOG_NOEXCEPT;

/* ---- Lock ------------------------------------------------------------
 * A recursive lock that records who holds it. Acquisitions and releases
 * nest strictly: the innermost acquisition is released first, by the same
 * thread, passing the very same caller-name pointer (pointers are compared,
 * not texts). Misuse is a programming error and aborts the process: more
 * than 10 nested acquisitions, a release without acquisition or by another
 * thread or with another name, destroying a held or never-initialised lock,
 * or a null lock passed to xoltLogLock, xoltLogUnlock or xoltLogDestroyLock.
 *
 * The library owns one such lock, the library lock, which guards every log
 * handle, file writer and configuration record. It initialises itself at
 * first use (safely when several threads arrive at once). An application
 * may hold it across several of its own calls with xoltLockCommon and
 * xoltUnlockCommon; the library itself never destroys it. */

#define XOLTLOG_LOCK_MAX_DEPTH 10

/* Storage for the platform's mutual-exclusion object (40 bytes, 8-aligned). */
typedef struct XoltLogCriticalSection {
  uint64_t opaque[5];
} XoltLogCriticalSection;

typedef struct XoltLogLockOwner {
  uint32_t thread_id; /* getTID() of the owner */
  const char* caller; /* by convention "<operation>()" */
} XoltLogLockOwner;

typedef struct XoltLogLock {
  XoltLogCriticalSection critical_section;
  uint32_t initialised; /* 1 while the critical section exists */
  int32_t depth;        /* acquisitions currently held */
  XoltLogLockOwner owners[XOLTLOG_LOCK_MAX_DEPTH]; /* entry 0 upward */
} XoltLogLock;

/* Initialises a zeroed lock; a null lock is ignored. */
XOLTLOG_API void xoltLogLockInit(XoltLogLock* lock) XOLTLOG_NOEXCEPT;
/* Acquires, initialising the lock first if it is not initialised. */
XOLTLOG_API void xoltLogLock(XoltLogLock* lock, const char* caller) XOLTLOG_NOEXCEPT;
XOLTLOG_API void xoltLogUnlock(XoltLogLock* lock, const char* caller) XOLTLOG_NOEXCEPT;
/* Destroys an initialised lock that nobody holds. */
XOLTLOG_API void xoltLogDestroyLock(XoltLogLock* lock) XOLTLOG_NOEXCEPT;

/* The same three operations on the library lock. After
 * xoltDestroyCommonLock the next acquisition initialises it afresh. */
XOLTLOG_API void xoltLockCommon(const char* caller) XOLTLOG_NOEXCEPT;
XOLTLOG_API void xoltUnlockCommon(const char* caller) XOLTLOG_NOEXCEPT;
XOLTLOG_API void xoltDestroyCommonLock(void) XOLTLOG_NOEXCEPT;

/* ---- Result mapping ---------------------------------------------------- */

/* Message-catalog status to result code: 0 -> 0, -2 -> 3, -3 -> 4, -4 -> 2,
 * anything else -> 10. */
XOLTLOG_API uint32_t xoltLogMapRirResToLoggingRes(int32_t rir_status) XOLTLOG_NOEXCEPT;
/* Property-store result to result code: 0 -> 0, 1 -> 3, 2..4 -> 6, 5 -> 55,
 * 7 -> 9, 8 -> 50, 9 -> 61, 10 -> 64, anything else -> 1. */
XOLTLOG_API uint32_t utipsres2xoltlogres(uint32_t store_result) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_FRAME_H */
