/* The formatting library xoltLogFormatMsg_3.so, which the logging library
 * loads at run time (SharedLibLoad("xoltLogFormatMsg")) to turn a message
 * record into console or event-log text.
 *
 * LogFormatMessage is its only exported function. It reads the record (and,
 * when given, the handle's configuration copy for the message catalogs) and
 * never changes either. On success it returns 0 and *text is a
 * NUL-terminated text from xoltLogMalloc that the caller releases with
 * xoltLogFree; on failure *text is null and the result is 3 (null record or
 * out pointer, unknown selector) or 4 (memory ran out). It may be called
 * from several threads at once.
 *
 * Selectors:
 * - XOLTLOG_FORMAT_CONSOLE: one line for a person: local time with
 *   milliseconds, kind with its level, severity or outcome, product/originator,
 *   who or subject, [context token], then the text. Control characters and
 *   invalid UTF-8 are shown escaped (\n, \xHH), so the line stays one line.
 *   The kind is coloured with ANSI escapes only when NO_COLOR is unset or
 *   empty, TERM is not "dumb", and both standard output and standard error
 *   are terminals (the caller prints the line to either).
 * - XOLTLOG_FORMAT_EVENT: the message text alone, as it is.
 *
 * A catalog message (Rir identifier nonzero) is rendered from the product's
 * message catalogs; docs/catalogs.md gives their format and where they are
 * looked for. The localizer list and the three zero arguments are not used. */
#ifndef XOLTLOG_FORMAT_MESSAGE_H
#define XOLTLOG_FORMAT_MESSAGE_H

#include <stdint.h>

#include "xoltlog/export.h"
#include "xoltlog/handle.h"
#include "xoltlog/message.h"

XOLTLOG_BEGIN_DECLS

#define XOLTLOG_FORMAT_CONSOLE 0x700u
#define XOLTLOG_FORMAT_EVENT 0x600u

typedef uint32_t (*XoltLogFormatMessageFn)(const XoltLogLocalizerList* localizers, uint32_t zero1,
                                           const char* locale, uint32_t zero2, uint32_t selector,
                                           uint32_t zero3, const XoltLogMsg* msg,
                                           const XoltLogHandle* handle, char** text);

/* locale: a locale name as setlocale reports it (also the composite
 * "LC_CTYPE=...;LC_MESSAGES=..." form), or null for the process's
 * LC_MESSAGES locale. handle may be null. */
XOLTLOG_API uint32_t LogFormatMessage(const XoltLogLocalizerList* localizers, uint32_t zero1,
                                      const char* locale, uint32_t zero2, uint32_t selector,
                                      uint32_t zero3, const XoltLogMsg* msg,
                                      const XoltLogHandle* handle, char** text) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_FORMAT_MESSAGE_H */
