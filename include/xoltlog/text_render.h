/* Text rendering of Rir messages without a catalog: printf-style messages,
 * the text of catalog messages whose catalog the library does not have, and
 * single arguments as wide strings for the event log.
 *
 * Narrow text comes out in the process's code page (text.h says what that
 * is). A catalog message (identifier nonzero) renders as
 *     "[Cannot find catalog for message id=N] " arg1 "," arg2 ...
 * and a printf-style message (identifier 0) as its arguments one after the
 * other. Nested messages render in place, each with its own prefix and
 * separators, at most XOLT_RIR_MAX_NESTING levels deep.
 *
 * Argument forms and the bytes the sizing pass reserves for each:
 *   type  narrow form                        reserved
 *   0     the wide character in the code page   2
 *   1     signed decimal                        20
 *   2     unsigned decimal                      20
 *   3     "%f"                                  15
 *   4     "0x" and lower-case hex digits        20
 *   5     the wide string in the code page      its code-page length + 1
 *   6, 7  the error code as a 32-bit "%d"       10
 *   8     asctime text of the local time, then  the asctime text's length
 *         a space ("Wed May 17 10:20:30 2023\n ")
 *   9     the nested message                    its own size
 *   10    the UTF-8 bytes as they are           length + 1
 *   11    the code-page bytes as they are       length + 1
 * The fill pass never writes more than the reserved total less one byte, so
 * a piece longer than its estimate (a large double, a negative error code,
 * the space after a date) shortens the end of the text instead of overrunning
 * the buffer. A type above 11 ends the text quietly. A wide character
 * without a code-page form is left out; a date that cannot be broken down
 * renders as nothing and reserves nothing. */
#ifndef XOLTLOG_TEXT_RENDER_H
#define XOLTLOG_TEXT_RENDER_H

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>

#include "xoltlog/export.h"
#include "xoltlog/result.h"
#include "xoltlog/rir.h"

XOLTLOG_BEGIN_DECLS

/* Renders a printf-style format (the catalog library's format syntax, rir.h)
 * into a new text from xoltLogMalloc, released with xoltLogFree. The caller
 * sets *text to null first; it stays null when the catalog library refuses
 * the format, when the text would be empty, when memory runs out or when an
 * argument cannot be rendered (a wide string without a code-page form).
 * Returns 0, or 3 for a null text pointer. */
XOLTLOG_API uint32_t listxt_svnprintf(char** text, const char* format,
                                      va_list args) XOLTLOG_NOEXCEPT;

/* Two passes over msg that take the same decisions.
 * destination null (sizing pass): sets *size to the bytes the text needs (0
 * for an identifier-0 message without arguments), or to UINT64_MAX on
 * failure; returns null.
 * destination given (fill pass): appends the text behind what destination
 * already holds, never more than *size - 1 characters in all, and returns
 * destination; on failure sets *size to UINT64_MAX and returns null, the
 * partial text then being meaningless.
 * Failures: a null msg or size, a catalog library failure, a nested message
 * deeper than XOLT_RIR_MAX_NESTING, a string or nested message missing from
 * its argument, a wide string without a code-page form, memory running out
 * while converting one. */
XOLTLOG_API char* strncatlis(char* destination, uint64_t* size,
                             const XoltRirMsg* msg) XOLTLOG_NOEXCEPT;

/* Appends one printf-formatted piece to the NUL-terminated text in
 * destination, whose buffer holds size bytes: the piece is formatted with
 * truncation into a temporary buffer of size bytes, and as much of it as fits
 * in size - 1 characters in all is appended. Returns destination (null for a
 * null destination); nothing is appended when size is 0, the text already
 * fills the buffer, the format fails or the temporary buffer cannot be had. */
XOLTLOG_API char* fstrncat(char* destination, uint64_t size, const char* format, ...)
    XOLTLOG_NOEXCEPT
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

/* The argument the iterator stands on as a new wide string from
 * xoltLogMalloc: types 0 to 4, 6 and 7 as "%lc", "%" PRId64, "%" PRIu64,
 * "%f", "%#" PRIx64 (0 gives "0") and the 64-bit error code in decimal, cut
 * at 99 characters; 5 a copy; 8 wcsftime "%c" of the local time (empty when
 * it cannot be broken down); 10 the UTF-8 text converted; 11 the code-page
 * text converted. *out is set to null first.
 * Results: 0; 3 for a null argument; 1 when the type or the value cannot be
 * read, the type is 9 (a nested message) or above 11, a string does not
 * convert, or a code-page string converts to nothing; 4 when memory runs
 * out. */
XOLTLOG_API uint32_t xoltLogGetArg_asStringW(const XoltRirArgIter* it,
                                             wchar_t** out) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_TEXT_RENDER_H */
