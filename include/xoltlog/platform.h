/* Platform file primitives: log files opened for reading or appending, the
 * cross-process append, directories, and reentrant time breakdowns.
 *
 * These return the primitives' own small numbers, not result codes; each
 * function says which. They take no library lock; callers that share a file
 * context between threads serialise around it. */
#ifndef XOLTLOG_PLATFORM_H
#define XOLTLOG_PLATFORM_H

#include <stdint.h>
#include <time.h>

#include "xoltlog/export.h"

XOLTLOG_BEGIN_DECLS

#define XOLTLOG_READ_BUFFER_SIZE 32768
/* Longest path xoltLogOs_mkdir accepts, in bytes. */
#define XOLTLOG_MAX_MKDIR_PATH 1024

/* Open modes: 0 append keeping the contents, 2 append after emptying the
 * file (both create a missing file); any mode with another bit set reads. */
#define XOLTLOG_OPEN_APPEND 0
#define XOLTLOG_OPEN_READ 1
#define XOLTLOG_OPEN_TRUNCATE 2

/* A file open for reading or appending; caller-owned, 32792 bytes. The two
 * handle slots are pointer-sized on every platform and 0 when empty. */
typedef struct XoltLogFileContext {
  uintptr_t file;  /* the open file (on POSIX, its descriptor + 1) */
  uintptr_t mutex; /* the file's cross-process lock; appending only */
  char read_buffer[XOLTLOG_READ_BUFFER_SIZE];
  int32_t read_position; /* next unread byte; -1 when the buffer is empty */
  int32_t bytes_in_buffer;
} XoltLogFileContext;

/* Empties the context (no file, empty buffer): 1, or 0 for null. */
XOLTLOG_API int32_t xoltLogOs_init(XoltLogFileContext* context) XOLTLOG_NOEXCEPT;
/* Opens name for reading (mode with any bit but 2 set) or appending (0, 2),
 * creating a missing file for appending with the permissions the SDDL text
 * gives (null: the defaults under the umask). A context that is still open
 * is closed first. 0; -3 null context or name; -1 the file's cross-process
 * lock cannot be had (the file is then not kept open: appending without it
 * could tear other writers' records); -7 path not found or access denied;
 * -6 any other failure. Every appender of one file, in any process and by
 * whatever path text, takes the same lock; it lives in a hidden file in the
 * file's directory that only the file's writers can open. */
XOLTLOG_API int32_t xoltLogOs_open(XoltLogFileContext* context, const char* name, int32_t mode,
                                   const char* sddl) XOLTLOG_NOEXCEPT;
/* Closes what is open and empties both slots; harmless when nothing is. */
XOLTLOG_API void xoltLogOs_close(XoltLogFileContext* context) XOLTLOG_NOEXCEPT;
/* One read of up to count bytes into buffer: the byte count (read position
 * 0, bytes in buffer the count); 0 at end of file and -1 on failure (read
 * position -1, bytes in buffer 0). */
XOLTLOG_API int32_t xoltLogOs_read(XoltLogFileContext* context, char* buffer,
                                   uint32_t count) XOLTLOG_NOEXCEPT;
/* Appends the bytes in one write at the end of the file while holding the
 * file's cross-process lock, so concurrent appenders never interleave: the
 * count written, or -1 (also for a short write). A write that fails for
 * lack of space sets the process's disk-full indication. */
XOLTLOG_API int32_t xoltLogOs_append(XoltLogFileContext* context, const void* bytes,
                                     uint32_t count) XOLTLOG_NOEXCEPT;
/* 0 with the low 32 bits of the file's size in *size; -3 null; -1 failure. */
XOLTLOG_API int32_t xoltLogOs_fsize(XoltLogFileContext* context,
                                    uint64_t* size) XOLTLOG_NOEXCEPT;
/* 0 when the file was removed; -1 otherwise. */
XOLTLOG_API int32_t xoltLogOs_delete(const char* name) XOLTLOG_NOEXCEPT;
/* Creates every missing directory of path with the permissions the SDDL
 * text gives: 0; 1 when a directory cannot be created; 3 for a null path or
 * one longer than XOLTLOG_MAX_MKDIR_PATH. */
XOLTLOG_API int32_t xoltLogOs_mkdir(const char* path, const char* sddl) XOLTLOG_NOEXCEPT;
/* Breaks time (seconds since 1970 UTC) down as UTC / as local time into
 * *out: out on success, null for a null out or a time that cannot be
 * broken down. */
XOLTLOG_API struct tm* xoltLogOs_gmtime_r(int64_t time, struct tm* out) XOLTLOG_NOEXCEPT;
XOLTLOG_API struct tm* xoltLogOs_localtime_r(int64_t time, struct tm* out) XOLTLOG_NOEXCEPT;

/* ---- Host name and sockets ---------------------------------------------- */

/* Starts the socket layer for the host lookups: 0 (nothing to start on
 * POSIX), 1 on failure. */
XOLTLOG_API int32_t osSocketStartup(void) XOLTLOG_NOEXCEPT;
XOLTLOG_API void osSocketCleanup(void) XOLTLOG_NOEXCEPT;
/* The local host name into buffer (NUL-terminated, cut to size - 1 bytes):
 * 0, or nonzero when it cannot be had or buffer is null or size 0. */
XOLTLOG_API int32_t osGetHostName(char* buffer, uint32_t size) XOLTLOG_NOEXCEPT;

/* ---- Directory listing -------------------------------------------------- */

#define XOLTLOG_FIND_NAME_SIZE 260
#define XOLTLOG_FIND_ALT_NAME_SIZE 14

/* A file time: 100-nanosecond intervals since 1601-01-01 UTC, in halves. */
typedef struct XoltLogFileTime {
  uint32_t low;
  uint32_t high;
} XoltLogFileTime;

/* The current entry of a listing. */
typedef struct XoltLogFindData {
  uint32_t attributes;
  XoltLogFileTime creation_time;
  XoltLogFileTime last_access_time;
  XoltLogFileTime last_write_time;
  uint32_t size_high;
  uint32_t size_low;
  uint32_t reserved0;
  uint32_t reserved1;
  char file_name[XOLTLOG_FIND_NAME_SIZE];
  char alternate_name[XOLTLOG_FIND_ALT_NAME_SIZE];
} XoltLogFindData;

/* A listing of the "*.log" files of one directory; caller-owned, zeroed
 * before use. A search value of 0 or all bits set owns no search. */
typedef struct XoltLogDirListing {
  uintptr_t search;
  XoltLogFindData find_data;
} XoltLogDirListing;

/* Starts listing the regular files (symbolic links followed) whose names end
 * in ".log" in directory, which ends with a separator and with it is at most
 * 255 bytes; without one, its last component is a prefix of the names
 * listed. 0 an entry is available; 1 nothing matches; -1 any other failure,
 * a missing or unreadable directory too; -3 a null argument. */
XOLTLOG_API int32_t xoltLogOsListLogFilesBegin(XoltLogDirListing* listing,
                                               const char* directory) XOLTLOG_NOEXCEPT;
/* 0 an entry is available; 1 no more; -1 failure. */
XOLTLOG_API int32_t xoltLogOsListLogFilesNext(XoltLogDirListing* listing) XOLTLOG_NOEXCEPT;
/* The current entry's name, valid until the next call; null for null. */
XOLTLOG_API const char* xoltLogOsListLogFilesName(const XoltLogDirListing* listing) XOLTLOG_NOEXCEPT;
/* Ends the search; harmless on an ended listing or a copy. */
XOLTLOG_API void xoltLogOsListLogFilesEnd(XoltLogDirListing* listing) XOLTLOG_NOEXCEPT;
/* Makes destination a detached copy of the source's current entry (no
 * search of its own). Always 0. */
XOLTLOG_API int32_t CopyLogOsListLogFiles(const XoltLogDirListing* source,
                                          XoltLogDirListing* destination) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_PLATFORM_H */
