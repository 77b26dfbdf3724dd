/* Log files for tools: the log file entry, name parsing, the latest file of
 * a writer, and reading a file's header line and records. */
#ifndef XOLTLOG_ACCESS_H
#define XOLTLOG_ACCESS_H

#include <stdint.h>

#include "xoltlog/export.h"
#include "xoltlog/message.h"
#include "xoltlog/platform.h"
#include "xoltlog/record_format.h"

XOLTLOG_BEGIN_DECLS

#define XOLTLOG_HOST_NAME_SIZE 512
#define XOLTLOG_DIRECTORY_SIZE 1025

/* Header versions a log file can start with; the library writes only the
 * last two (ordinary and logset files). */
#define XOLTLOG_HEADER_VERSION_MIN 0x10004u
#define XOLTLOG_HEADER_VERSION 0x10007u
#define XOLTLOG_HEADER_VERSION_LOGSET 0x10008u

/* The header line of a log file, parsed. */
typedef struct XoltLogHeader {
  uint32_t version;
  uint32_t product_id;
  uint32_t originator_id;
  int64_t creation_time; /* seconds since 1970 UTC */
  char host_name[XOLTLOG_HOST_NAME_SIZE];
  int32_t tz_offset; /* UTC minus local time, seconds; -1 when absent */
} XoltLogHeader;

/* A log file found on disk; from alloc_file or the latest-file searches,
 * released with xoltLogFree. The allocation is sized to the file name. */
typedef struct XoltLogFileEntry {
  struct XoltLogFileEntry* next;
  uint32_t header_version; /* set by ReadHeader; 0 before */
  XoltLogFileContext file;
  XoltLogMsg record; /* room for one record of the file, for tools */
  int64_t time;      /* creation time, or a logset file's time from its name */
  int32_t header_tz_offset;
  char directory[XOLTLOG_DIRECTORY_SIZE];
  char file_name[1]; /* NUL-terminated, as long as the name */
} XoltLogFileEntry;

/* A new entry for the listing's current file: name copied, time its
 * creation time, file context closed, all else zero; null when memory is
 * exhausted or listing is null. */
XOLTLOG_API XoltLogFileEntry* alloc_file(const XoltLogDirListing* listing) XOLTLOG_NOEXCEPT;

/* "12-100-..." gives product 12 and originator 100 (a missing field leaves
 * its output untouched): nonzero only when both are nonzero; 0 when an
 * argument is null. */
XOLTLOG_API int32_t getidfromfilename(const char* name, uint32_t* product_id,
                                      uint32_t* originator_id) XOLTLOG_NOEXCEPT;
/* "12-backup-260314093005.log" gives product 12, set name "backup" (set_name
 * must hold it) and the first 12 characters of the third field into
 * date_time (13 bytes, zeroed by the caller): nonzero only when the product
 * is nonzero and the set name not empty; 0 when an argument is null. */
XOLTLOG_API int32_t getSLidfromfilename(const char* name, uint32_t* product_id, char* set_name,
                                        char* date_time) XOLTLOG_NOEXCEPT;

/* The newest ordinary log file of product and originator written from this
 * host in directory: 1 with a new entry in *entry; 0 when there is none
 * (entry untouched) or no memory (entry null). reserved1 and reserved2 are
 * not used. */
XOLTLOG_API uint8_t xoltLogFindLatestLog(const char* directory, uint32_t product_id,
                                         uint32_t originator_id, uint32_t reserved1,
                                         int64_t reserved2,
                                         XoltLogFileEntry** entry) XOLTLOG_NOEXCEPT;
/* The same for the logset files of product and set file name; the entry's
 * time is the file's date and time from its name. */
XOLTLOG_API uint8_t xoltLogFindLatestLogSL(const char* directory, uint32_t product_id,
                                           const char* set_file_name, uint32_t reserved1,
                                           int64_t reserved2,
                                           XoltLogFileEntry** entry) XOLTLOG_NOEXCEPT;

/* The next record line of a file open for reading, appended to buffer
 * (initialized by the caller with init_text_msg): 1 a line, which stands
 * where it was appended, NUL-terminated in place of its line feed, with
 * carriage returns turned back into line feeds; 0 end of file (an
 * incomplete last line is not delivered); -1 a read failure, no memory or a
 * null argument. Reads go through the context's read buffer. */
XOLTLOG_API int32_t readrecord(XoltLogFileContext* file, XoltLogTextMsg* buffer) XOLTLOG_NOEXCEPT;
/* Reads and parses the header line of the entry's file, opened for reading
 * and not yet read: 0; 1 no line, a read failure or not a header; 48 a
 * header version that is not supported; 3 a null argument. The header is
 * cleared once a line was read (its offset -1 when the line has none); the
 * entry's header offset becomes -1 then, and on 0 the entry takes the
 * header version and, for versions 0x10007 and 0x10008, its offset.
 * Afterwards readrecord delivers the file's first record. */
XOLTLOG_API uint32_t ReadHeader(XoltLogFileEntry* entry, XoltLogHeader* header) XOLTLOG_NOEXCEPT;
/* The same for a file context, except that the header is cleared first,
 * even when there is no line. */
XOLTLOG_API uint32_t ReadHeaderEx(XoltLogFileContext* file,
                                  XoltLogHeader* header) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_ACCESS_H */
