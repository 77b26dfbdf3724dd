/* xoltrir: the message-catalog library.
 *
 * A Rir message is a catalog message identifier with a list of typed
 * arguments. xoltRirVEx builds one from a printf-like format that describes
 * the argument types; xoltRirTextV builds an identifier-0 message whose
 * arguments, rendered one after another, spell the text that vsnprintf would
 * print; xoltRirAppendArg and xoltRirAppendMsg add typed arguments one at a
 * time. The message owns its nodes and the copies of every string and nested
 * message; xoltRirFree releases them. The logging library reads the node list
 * directly, so the layouts below are part of the contract.
 *
 * Statuses: 0 success; XOLT_RIR_END (1) when an iterator has no (further)
 * argument; -2 invalid argument (null pointer, identifier 0 for xoltRirVEx,
 * a malformed or unsupported format, a getter of the wrong type); -3 out of
 * memory; -4 any other failure (an argument that cannot be rendered). A
 * failed build leaves the message zeroed and nothing allocated.
 *
 * Format syntax. A conversion is
 *     %[flags][width][.precision][length]conversion
 * with printf's flags (- + space # 0 '), width and precision as digits or
 * '*' (taken from the argument list as int, before the value), and printf's
 * length modifiers hh h l ll j z t L. Positional arguments (%1$d), widths
 * or precisions beyond INT_MAX, and conversions printf does not define are
 * refused. A length modifier must suit its conversion: any but L for the
 * integer conversions; l or L for the floating ones; l for %c and %s; none
 * for %p and %m.
 *
 *   conversion          argument read       type (width in bits)
 *   %d %i               signed integer      1 signed 64-bit (8/16/32/64 by length)
 *   %u                  unsigned integer    2 unsigned 64-bit (8/16/32/64 by length)
 *   %o %x %X            unsigned integer    2 unsigned 64-bit
 *   %c                  int (a byte)        11 code-page string of that byte
 *   %lc                 wint_t              0 wide character
 *   %f %F %e %E %g %G %a %A  double (long double with L)  3 double
 *   %s                  char*               11 code-page string (10 UTF-8 string
 *                                           when xoltRirVEx's UTF-8 flag is set)
 *   %ls                 wchar_t*            5 wide string
 *   %p                  void*               4 pointer
 *   %m                  (none: errno)       6 operating-system error
 *   %%                  (none)              a literal percent sign
 *
 * Extra conversions, for the types printf lacks, are written in braces:
 *   %{oserr}            int                 6 operating-system error (32-bit)
 *   %{oserr64}          int64_t             7 operating-system error (64-bit)
 *   %{time}             int64_t             8 date and time, seconds since 1970
 *   %{utf8}             const char*         10 UTF-8 string
 *   %{rir}              const XoltRirMsg*   9 nested Rir message (deep-copied;
 *                                           the caller keeps and frees its own)
 * Nothing may stand between '%' and '{'. %n is refused. Null string and
 * message arguments are refused by the extra conversions, and so is a nested
 * message with a node of unknown type or without its string or message, or
 * one nested so deep that the copy would pass XOLT_RIR_MAX_NESTING; for
 * %s and %ls a null pointer is stored as the text "(null)", as printf prints
 * it.
 *
 * xoltRirVEx stores one typed argument per conversion; flags, width and
 * precision do not change the stored value, except that a precision limits
 * how many bytes of a %s (or characters of a %ls) string are read. Integers
 * are stored as printf converts them (%hhd of 300 is 44), with the width of
 * that type. Literal text of the format is not stored: the catalog owns the
 * message text.
 *
 * xoltRirTextV stores literal text (with %% folded in) as code-page string
 * arguments. A conversion without flags, width or precision whose typed
 * rendering equals printf's is stored typed: %d %i %u, %f (double), %s,
 * %ls, %lc, a non-null %p, and the extra conversions. Every other
 * conversion (%x, %o, %e, %g, %a, %c, %Lf, %m, null %p, null %ls, or
 * anything with flags, width or precision) is stored already rendered by
 * printf as a code-page string argument of its own. Each run of literal text
 * between conversions is one argument.
 *
 * Both build functions refuse a message that is not zeroed (-2, message left
 * as it is), and leave errno as they found it; %m means errno on entry. */
#ifndef XOLTLOG_RIR_H
#define XOLTLOG_RIR_H

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>

#include "xoltlog/export.h"

XOLTLOG_BEGIN_DECLS

enum XoltRirStatus {
  XOLT_RIR_OK = 0,
  XOLT_RIR_END = 1,
  XOLT_RIR_EINVAL = -2,
  XOLT_RIR_ENOMEM = -3,
  XOLT_RIR_EFAIL = -4
};

enum XoltRirArgType {
  XOLT_RIR_ARG_WCHAR = 0,
  XOLT_RIR_ARG_LONGLONG = 1,
  XOLT_RIR_ARG_ULONGLONG = 2,
  XOLT_RIR_ARG_DOUBLE = 3,
  XOLT_RIR_ARG_POINTER = 4,
  XOLT_RIR_ARG_WSTRING = 5,
  XOLT_RIR_ARG_OS_ERROR = 6,
  XOLT_RIR_ARG_OS_ERROR64 = 7,
  XOLT_RIR_ARG_DATETIME = 8,
  XOLT_RIR_ARG_RIR = 9,
  XOLT_RIR_ARG_UTF8STRING = 10,
  XOLT_RIR_ARG_NATIVESTRING = 11
};

/* How deep nested messages may go: a message whose arguments hold nested
 * messages that hold none of their own is nested one level deep. %{rir}
 * refuses (-2) a message whose copy would nest deeper, and the logging
 * library neither writes nor reads a record line that does. */
#define XOLT_RIR_MAX_NESTING 256

struct XoltRirArgNode;

/* 16 bytes: identifier (0 for a message built from a printf-style format)
 * and the first argument node. A zeroed message is an empty one. */
typedef struct XoltRirMsg {
  uint32_t id;
  struct XoltRirArgNode* args;
} XoltRirMsg;

/* First value of a node, by type: wide character (0); width in bits (1, 2,
 * 6, 7); double (3); number (4, 8); wide string (5); nested message (9);
 * UTF-8 string (10); code-page string (11). */
typedef union XoltRirFirstValue {
  wchar_t wide_char;
  uint64_t width;
  double number_double;
  uint64_t number;
  int64_t time;
  const wchar_t* wide_string;
  const XoltRirMsg* rir;
  const char* string;
} XoltRirFirstValue;

/* Second value: the number of types 1, 2, 6 and 7. */
typedef union XoltRirSecondValue {
  int64_t signed_number;
  uint64_t unsigned_number;
} XoltRirSecondValue;

/* The value pair of a node; for an operating-system error (6, 7) the
 * getter hands out this object, whose second 64-bit field is the code. */
typedef struct XoltRirArgValue {
  XoltRirFirstValue first;
  XoltRirSecondValue second;
} XoltRirArgValue;

typedef struct XoltRirArgNode {
  int32_t type; /* enum XoltRirArgType */
  XoltRirArgValue value;
  struct XoltRirArgNode* next;
} XoltRirArgNode;

/* Caller-held iterator; xoltRirGetArgsBegin fills it. It stays valid while
 * the message is neither freed nor rebuilt. */
typedef struct XoltRirArgIter {
  const XoltRirArgNode* node;
} XoltRirArgIter;

/* msg must be zeroed; id must be nonzero. utf8 nonzero: %s strings are
 * UTF-8 (type 10) instead of code-page strings (type 11). */
XOLTLOG_API int32_t xoltRirVEx(XoltRirMsg* msg, uint32_t utf8, uint32_t id, const char* format,
                               va_list args) XOLTLOG_NOEXCEPT;
XOLTLOG_API int32_t xoltRirTextV(XoltRirMsg* msg, const char* format,
                                 va_list args) XOLTLOG_NOEXCEPT;

/* Building a message argument by argument, for code that has the typed
 * values rather than a format (a reader of record lines, for one). The
 * identifier is the caller's to set in msg->id; the appends leave it alone.
 * msg may be zeroed or already hold arguments, from these functions or from
 * the builders above; a failed append leaves it as it was.
 *
 * last: null, or a caller-held iterator over msg. When it stands on an
 * argument, the search for the end of the list starts there rather than at
 * the first argument, and every successful append leaves it on the new
 * argument, so that a loop of appends with one iterator (zeroed before the
 * first) takes constant time per argument.
 *
 * xoltRirAppendArg appends a copy of value (its type and value pair; value's
 * next is not followed), as xoltRirFree expects to release it: strings are
 * copied, a nested message (9) is deep-copied as %{rir} copies it. -2 for a
 * null msg or value, an unknown type, a string or nested-message type
 * without its pointer, or a nested message whose copy would nest deeper than
 * XOLT_RIR_MAX_NESTING; -3 out of memory.
 *
 * xoltRirAppendMsg appends a nested-message argument holding an empty
 * message with identifier id, and hands that message out through nested so
 * that its arguments can be appended in place, without a copy; it stays
 * msg's and is released with it. -2 for a null msg or nested; -3 out of
 * memory. How deep messages built this way nest is the caller's to bound:
 * the logging library writes no record whose messages nest deeper than
 * XOLT_RIR_MAX_NESTING. */
XOLTLOG_API int32_t xoltRirAppendArg(XoltRirMsg* msg, const XoltRirArgNode* value,
                                     XoltRirArgIter* last) XOLTLOG_NOEXCEPT;
XOLTLOG_API int32_t xoltRirAppendMsg(XoltRirMsg* msg, uint32_t id, XoltRirMsg** nested,
                                     XoltRirArgIter* last) XOLTLOG_NOEXCEPT;

/* Releases the arguments and zeroes the message; -2 for null. */
XOLTLOG_API int32_t xoltRirFree(XoltRirMsg* msg) XOLTLOG_NOEXCEPT;

XOLTLOG_API int32_t xoltRirGetTextId(const XoltRirMsg* msg, uint32_t* id) XOLTLOG_NOEXCEPT;
XOLTLOG_API int32_t xoltRirGetArgCount(const XoltRirMsg* msg, uint32_t* count) XOLTLOG_NOEXCEPT;
/* 0 with it on the first argument; XOLT_RIR_END when there is none. */
XOLTLOG_API int32_t xoltRirGetArgsBegin(const XoltRirMsg* msg, XoltRirArgIter* it) XOLTLOG_NOEXCEPT;
/* 0 when moved on; XOLT_RIR_END (iterator unchanged) after the last, or
 * when the iterator stands on no argument. */
XOLTLOG_API int32_t xoltRirGetNextArg(XoltRirArgIter* it) XOLTLOG_NOEXCEPT;
XOLTLOG_API int32_t xoltRirGetArgTypeId(const XoltRirArgIter* it, uint32_t* type) XOLTLOG_NOEXCEPT;

/* Typed getters: -2 when an argument is null, the iterator stands on no
 * argument, or the argument is of another type. Strings and nested
 * messages stay the message's. */
XOLTLOG_API int32_t xoltRirGetArg_wchar(const XoltRirArgIter* it, wchar_t* value) XOLTLOG_NOEXCEPT;
XOLTLOG_API int32_t xoltRirGetArg_longlong(const XoltRirArgIter* it,
                                           int64_t* value) XOLTLOG_NOEXCEPT;
XOLTLOG_API int32_t xoltRirGetArg_ulonglong(const XoltRirArgIter* it,
                                            uint64_t* value) XOLTLOG_NOEXCEPT;
XOLTLOG_API int32_t xoltRirGetArg_double(const XoltRirArgIter* it, double* value) XOLTLOG_NOEXCEPT;
XOLTLOG_API int32_t xoltRirGetArg_pointer(const XoltRirArgIter* it,
                                          uint64_t* value) XOLTLOG_NOEXCEPT;
XOLTLOG_API int32_t xoltRirGetArg_wstring(const XoltRirArgIter* it,
                                          const wchar_t** value) XOLTLOG_NOEXCEPT;
/* Types 6 and 7. */
XOLTLOG_API int32_t xoltRirGetArg_os_error(const XoltRirArgIter* it,
                                           const XoltRirArgValue** value) XOLTLOG_NOEXCEPT;
XOLTLOG_API int32_t xoltRirGetArg_datetime(const XoltRirArgIter* it,
                                           int64_t* value) XOLTLOG_NOEXCEPT;
XOLTLOG_API int32_t xoltRirGetArg_rir(const XoltRirArgIter* it,
                                      const XoltRirMsg** value) XOLTLOG_NOEXCEPT;
XOLTLOG_API int32_t xoltRirGetArg_utf8string(const XoltRirArgIter* it,
                                             const char** value) XOLTLOG_NOEXCEPT;
XOLTLOG_API int32_t xoltRirGetArg_nativeString(const XoltRirArgIter* it,
                                               const char** value) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_RIR_H */
