/* Text and time utilities: conversions between the process's code page,
 * wide strings and UTF-8, and between time texts and time values.
 *
 * Code-page text is in the C library's LC_CTYPE code set; when that code set
 * is ASCII (the "C" locale every program starts in), code-page text is taken
 * to be UTF-8. Wide strings are wchar_t strings (UTF-32 here).
 *
 * Conversions return result codes (0; 1 conversion failure; 3 invalid
 * argument; 4 out of memory) and hand out a new NUL-terminated string from
 * xoltLogMalloc, released with xoltLogFree. The out pointer is set to null
 * first once the arguments are found non-null, and stays null on failure. */
#ifndef XOLTLOG_TEXT_H
#define XOLTLOG_TEXT_H

#include <stddef.h>
#include <stdint.h>

#include "xoltlog/export.h"
#include "xoltlog/result.h"

XOLTLOG_BEGIN_DECLS

XOLTLOG_API uint32_t mbs2utf8(char** out, const char* text) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t wcs2utf8(char** out, const wchar_t* text) XOLTLOG_NOEXCEPT;
/* length: bytes of text to convert, or -1 for all of it up to its NUL; any
 * other negative length gives 3 (out set to null). Conversion stops at the
 * first NUL within those bytes: a length beyond the text reads nothing past
 * its NUL. */
XOLTLOG_API uint32_t utf82wcs(wchar_t** out, const char* text, int32_t length) XOLTLOG_NOEXCEPT;
/* Every conversion failure gives 3 here. */
XOLTLOG_API uint32_t utf82mbs(char** out, const char* text) XOLTLOG_NOEXCEPT;

/* "GMT", "GMT+5:30", "GMT-8:00": 0 with the offset east of UTC in seconds.
 * Hours above 0 add the minutes, hours 0 or below subtract them, so
 * "GMT+0:30" and "GMT-0:30" both give -1800. 1 (offset untouched) for a null
 * argument, a text not starting with "GMT", minutes outside 0..59, or an
 * offset beyond the zones that exist: GMT-12:00 to GMT+14:00, that is -43200
 * to 50400 seconds. */
XOLTLOG_API uint32_t TimeZoneToOffset(const char* zone, int32_t* offset) XOLTLOG_NOEXCEPT;
/* UTC minus local time, in seconds, now: negative east of Greenwich. */
XOLTLOG_API int32_t getLocalTZOffsetFromGMT(void) XOLTLOG_NOEXCEPT;
/* Splits text on the delimiter set and reads the first three tokens as
 * numbers into a, b, c (0 when missing): 1, or 0 for a null argument or no
 * memory (outputs untouched). */
XOLTLOG_API int32_t xoltLogStrTimeToT(const char* text, const char* delimiters, uint32_t* a,
                                      uint32_t* b, uint32_t* c) XOLTLOG_NOEXCEPT;
/* "hh:mm:ss" into hour, minute, second: 1, or 0 as above. */
XOLTLOG_API int32_t xoltLogGetTime(const char* text, uint32_t* hour, uint32_t* minute,
                                   uint32_t* second) XOLTLOG_NOEXCEPT;
/* "yyyy-mm-dd" into day, month - 1 and year - 1900: 1, or 0 as above. */
XOLTLOG_API int32_t xoltLogGetDate(const char* text, uint32_t* day, uint32_t* month,
                                   uint32_t* year) XOLTLOG_NOEXCEPT;
/* "yyyy-mm-dd" (midnight; a time of day after it is ignored) or "hh:mm:ss"
 * (today), local standard time, as seconds since 1970; -1 for a null text,
 * no memory, or a text with neither '-' nor ':'. */
XOLTLOG_API int64_t xoltLogStrDateTimeToT(const char* text) XOLTLOG_NOEXCEPT;

/* 0 when path is absolute (on POSIX: begins with '/'), -1 otherwise. */
XOLTLOG_API int32_t isAbsolutePath(const char* path) XOLTLOG_NOEXCEPT;
/* Nonzero when the originator identifier is not 0. */
XOLTLOG_API int32_t isOrigIdValid(uint32_t originator) XOLTLOG_NOEXCEPT;
/* Nonzero when the logset name is not null. */
XOLTLOG_API int32_t isLogSetValid(const char* logset) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_TEXT_H */
