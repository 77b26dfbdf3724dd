/* xoltlog: the logging library of the product family.
 *
 * Conventions, once for every header of this directory:
 * - Every operation is a plain C function. Operations that can fail return a
 *   uint32_t result code (result.h): 0 is success, and a null required
 *   pointer or a zero identifier gives 3 (XOLTLOG_E_INVALID_ARG). Nothing
 *   throws.
 * - Structures passed by pointer (message record, log handle, lock) are the
 *   caller's storage; the library fills them and releases only what it
 *   allocated into them.
 * - Every block the library hands out comes from xoltLogMalloc and is
 *   released with xoltLogFree or the owning release operation.
 * - Log handles, file writers and configuration records are guarded by the
 *   library lock, so one handle may be used from several threads. */
#ifndef XOLTLOG_XOLTLOG_H
#define XOLTLOG_XOLTLOG_H

#include "xoltlog/export.h"
#include "xoltlog/result.h"
#include "xoltlog/frame.h"
#include "xoltlog/rir.h"
#include "xoltlog/message.h"
#include "xoltlog/text_render.h"
#include "xoltlog/handle.h"
#include "xoltlog/platform.h"
#include "xoltlog/text.h"
#include "xoltlog/record_format.h"
#include "xoltlog/access.h"
#include "xoltlog/query.h"
#include "xoltlog/config.h"
#include "xoltlog/config_write.h"
#include "xoltlog/property_store.h"
#include "xoltlog/config_read.h"
#include "xoltlog/shared_lib.h"
#include "xoltlog/writer.h"
#include "xoltlog/output.h"
#include "xoltlog/log.h"
#include "xoltlog/context.h"

#endif /* XOLTLOG_XOLTLOG_H */
