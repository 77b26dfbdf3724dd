/* Loading separately shipped libraries (the formatting and localization
 * libraries) by a configured name. A name becomes a file name by keeping its
 * directory, cutting its base at the first "_" or "." and appending the
 * library's major version and the platform extension: "xoltLogFormatMsg"
 * and "/opt/lib/xoltLogFormatMsg_2.so" become "xoltLogFormatMsg_3.so" and
 * "/opt/lib/xoltLogFormatMsg_3.so". A name without a directory is looked for
 * beside libxoltlog itself first, then on the system's library path.
 *
 * These return small numbers: 0 success, -2 failure. */
#ifndef XOLTLOG_SHARED_LIB_H
#define XOLTLOG_SHARED_LIB_H

#include <stdint.h>

#include "xoltlog/export.h"

XOLTLOG_BEGIN_DECLS

/* Loads the library name stands for into *module; when file_name is given
 * it receives the built file name (release with xoltLogFree), or null on
 * failure. -2 for a null module or name, a name that cannot be built, or a
 * failed load (*module null). */
XOLTLOG_API int32_t SharedLibLoad(void** module, const char* name,
                                  char** file_name) XOLTLOG_NOEXCEPT;
/* *address := the function's address, null when the module lacks it (still
 * 0). -2 for a null module or out, or a null or empty name. */
XOLTLOG_API int32_t SharedLibResolveFunc(void* module, const char* name,
                                         void** address) XOLTLOG_NOEXCEPT;
/* -2 for a null module. */
XOLTLOG_API int32_t SharedLibUnload(void* module) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_SHARED_LIB_H */
