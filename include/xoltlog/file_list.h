/* Log file lists for tools: collecting the log files of configuration
 * records, selecting the files a series may lose, handing them out one by
 * one, copying and deleting log files. Nothing here takes the library lock
 * but the configuration reads; a listed file may vanish before it is used,
 * and the operations that use it pass it over then. */
#ifndef XOLTLOG_FILE_LIST_H
#define XOLTLOG_FILE_LIST_H

#include <stdint.h>

#include "xoltlog/access.h"
#include "xoltlog/config.h"
#include "xoltlog/export.h"
#include "xoltlog/query.h"

XOLTLOG_BEGIN_DECLS

#define XOLTLOG_FILE_LIST_SIZE 1656
/* The path buffer xoltLogFetchNextFile hands out. */
#define XOLTLOG_PATH_BUFFER_SIZE 8192

/* Caller-owned; its entries belong to its holder, who frees each with
 * xoltLogFree (closing an entry's file context first if it is open). */
typedef struct XoltLogFileList {
  uint32_t unsupported_header; /* 1 once a fetch met an unsupported header */
  XoltLogFileEntry* head;
  XoltLogFileEntry* cursor; /* the next entry to hand out */
  XoltLogQueryNode* query;  /* null: every file passes */
  unsigned char reserved[XOLTLOG_FILE_LIST_SIZE - 32];
} XoltLogFileList;

/* Collects the log files of count records (null records are passed over)
 * from their log directories, each file once, oldest first by creation
 * time (a logset file by the time in its name, which is also the entry's
 * time), into list->head and
 * list->cursor; a previous list is not freed. Files written more than a
 * day in the future are left out, and so are files the list's query
 * rejects by their name, times and, when the query asks for the host, the
 * header's host name. 0; 45 nothing collected (count 0, no file, or memory
 * exhausted before the first); 3 a null array or list. */
XOLTLOG_API uint32_t GetLogFiles(XoltLogCfg* const* configurations, uint32_t count,
                                 XoltLogFileList* list) XOLTLOG_NOEXCEPT;

/* The files a series may lose: of each writer's files (grouped by the
 * product and originator in their names), the oldest beyond its record's
 * number of log files. product_id and originator_id of 0 stand for any:
 * with both given, their one record is read; otherwise the records of
 * every registered product (only files of writers with a record there are
 * measured). The list is cleared (its query too: set one afterwards to
 * filter the fetch) and filled newest group first, each group's files
 * youngest first. 0, also when nothing is surplus; 3 a null list; 45 no
 * log file at all; the configuration read's failure. */
XOLTLOG_API uint32_t xoltLogGetManageableLogFiles(uint32_t product_id, uint32_t originator_id,
                                                  XoltLogFileList* list) XOLTLOG_NOEXCEPT;
/* The same for the files of one logset, measured against its record
 * (xoltLogReadlogsetCfg, whose failure is returned: 3 for product 0 or a
 * null name). */
XOLTLOG_API uint32_t xoltLogGetManageableLogFilesSL(uint32_t product_id, const char* logset_name,
                                                    XoltLogFileList* list) XOLTLOG_NOEXCEPT;
/* The next entry from the cursor on whose header reads and passes the
 * list's query (a logset file's header takes its product, time and set
 * name from its name), into *entry; the entry stays the list's. Files that
 * vanished or cannot be opened are passed over, and so are unreadable
 * headers: an unsupported version sets list->unsupported_header. 0; 9 no
 * further entry; 3 a null argument; 4 memory. */
XOLTLOG_API uint32_t xoltLogFetchNextFileEx(XoltLogFileList* list,
                                            XoltLogFileEntry** entry) XOLTLOG_NOEXCEPT;
/* As xoltLogFetchNextFileEx, handing out the entry's path (directory and
 * name) in a new zeroed XOLTLOG_PATH_BUFFER_SIZE buffer, released with
 * xoltLogFreeBuffer. 4 when the buffer cannot be had. */
XOLTLOG_API uint32_t xoltLogFetchNextFile(XoltLogFileList* list, char** path) XOLTLOG_NOEXCEPT;
/* Releases *path and sets it to null; nothing for null. */
XOLTLOG_API void xoltLogFreeBuffer(char** path) XOLTLOG_NOEXCEPT;
/* Copies source into destination_directory (given without a trailing
 * separator: the target is the directory followed by the source's last
 * separator and file name) in chunks of 1022 bytes through the file
 * primitives, appending under the target's cross-process lock. 0; 3; 32
 * the source cannot be opened, the target is the source itself or cannot
 * be created; 31 the source's size cannot be read; 4; 47 the target's
 * directory is missing or refused, or its lock cannot be had; 33 the
 * source fell short; 54 disk full; 34 writing failed. A failed copy leaves
 * a partial target. */
XOLTLOG_API uint32_t xoltLogCopyFile(const char* source,
                                     const char* destination_directory) XOLTLOG_NOEXCEPT;
/* Copies source whole onto the same target, replacing it (a symbolic link
 * there is refused): 0; 3; 34 on any failure. */
XOLTLOG_API uint32_t xoltLogCopyFileEx(const char* source,
                                       const char* destination_directory) XOLTLOG_NOEXCEPT;
/* Deletes the log file at path (a regular file whose name ends in ".log";
 * anything else is left alone): 3 for null, else 0. A file that cannot be
 * deleted prints "<path> File Deletion failed" on standard output. */
XOLTLOG_API uint32_t xoltLogDeleteFile(const char* path) XOLTLOG_NOEXCEPT;
/* Releases count records (their texts and the records themselves), as
 * read by xoltLogReadAllCfg; null entries are passed over. */
XOLTLOG_API void FreeConfigArray(XoltLogCfg** records, uint32_t count) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_FILE_LIST_H */
