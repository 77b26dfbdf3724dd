/* The file writer: the log file series behind log handles. A handle is
 * connected to a writer when it opens and detached when it closes; every
 * message goes to the writer's current file, which rolls over by size, time
 * of day or period, and is reopened every ten minutes of message time.
 * These operations take the library lock themselves. */
#ifndef XOLTLOG_WRITER_H
#define XOLTLOG_WRITER_H

#include <stdint.h>

#include "xoltlog/config.h"
#include "xoltlog/export.h"
#include "xoltlog/handle.h"
#include "xoltlog/message.h"

XOLTLOG_BEGIN_DECLS

/* Connects handle, which carries a zeroed writer of its own, to the writer
 * of the file configuration's series: shares the process's writer of the
 * same product and originator, or resumes the latest file, or starts a new
 * one with its header. 0; 3 null arguments; 53 no log directory; 1 the
 * directory, host name or header failed; 51 the file cannot be created
 * there (path not found, access denied); 32 other open failures; 4 memory
 * ran out (no file is opened then; the handle has no configuration copy
 * when only that copy failed, which is not reported). After a failure the
 * handle stays attached and is closed as usual. */
XOLTLOG_API uint32_t xoltLogOpenFile(XoltLogHandle* handle, const XoltLogCfg* handle_cfg,
                                     const XoltLogCfg* file_cfg) XOLTLOG_NOEXCEPT;
/* Detaches handle; the last handle of a writer closes its file and frees
 * it. Needs no memory. 0; 3 null handle or no writer; 1 the handle is not
 * attached. */
XOLTLOG_API uint32_t xoltLogCloseFile(XoltLogHandle* handle) XOLTLOG_NOEXCEPT;
/* Writes one record line, rolling over or reopening first when due. 0; 57
 * no writer; 1 no record (or one that cannot be written); 4 no memory for
 * the line or for the next file's name: the record is not written and the
 * writer keeps its file; 54 the append failed and the disk was full at
 * least once in this process; 5 the append failed otherwise. */
XOLTLOG_API uint32_t xoltLogWriteMsgWithRolloverToFile(struct XoltLogFileWriter* writer,
                                                       XoltLogMsg* msg) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_WRITER_H */
