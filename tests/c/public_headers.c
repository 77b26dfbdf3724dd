/* Compiled as C11: the public headers must stand alone in C, and the
 * caller-owned structures must have the same layout as the library's. */
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "xoltlog/xoltlog.h"

/* Every caller-owned structure, with the figures the library asserts. */
_Static_assert(sizeof(XoltLogCriticalSection) == 40, "critical section");
_Static_assert(sizeof(XoltLogLockOwner) == 16, "lock owner");
_Static_assert(offsetof(XoltLogLockOwner, caller) == 8, "lock owner caller");
_Static_assert(sizeof(XoltLogLock) == 208, "lock");
_Static_assert(offsetof(XoltLogLock, initialised) == 40, "lock initialised");
_Static_assert(offsetof(XoltLogLock, depth) == 44, "lock depth");
_Static_assert(offsetof(XoltLogLock, owners) == 48, "lock owners");

_Static_assert(sizeof(XoltLogMsg) == 1648, "message record");
_Static_assert(offsetof(XoltLogMsg, timestamp_ms) == 32, "timestamp");
_Static_assert(offsetof(XoltLogMsg, context_token) == 48, "context token");
_Static_assert(offsetof(XoltLogMsg, text) == 56, "text");
_Static_assert(offsetof(XoltLogMsg, reserved) == 64, "reserved");
_Static_assert(offsetof(XoltLogMsg, utf8) == 1600, "utf8 flag");
_Static_assert(offsetof(XoltLogMsg, attr) == 1608, "attributes");
_Static_assert(offsetof(XoltLogMsg, who_or_subject) == 1616, "who or subject");
_Static_assert(offsetof(XoltLogMsg, outcome) == 1624, "outcome");
_Static_assert(offsetof(XoltLogMsg, rir) == 1632, "rir message");

_Static_assert(sizeof(XoltLogHandle) == 1768, "log handle");
_Static_assert(offsetof(XoltLogHandle, context_marker) == 24, "context marker");
_Static_assert(offsetof(XoltLogHandle, context_record) == 32, "context record");
_Static_assert(offsetof(XoltLogHandle, oslog) == 1680, "event-log connection");
_Static_assert(offsetof(XoltLogHandle, next) == 1696, "next handle");
_Static_assert(offsetof(XoltLogHandle, localizers) == 1704, "localizers");
_Static_assert(offsetof(XoltLogHandle, sequence_counter) == 1720, "sequence counter");
_Static_assert(offsetof(XoltLogHandle, open_time) == 1728, "open time");
_Static_assert(offsetof(XoltLogHandle, reload_interval) == 1744, "reload interval");
_Static_assert(offsetof(XoltLogHandle, config) == 1752, "configuration");
_Static_assert(offsetof(XoltLogHandle, utf8) == 1760, "handle utf8 flag");
_Static_assert(offsetof(XoltLogHandle, originator_id) == 1764, "originator");

_Static_assert(sizeof(XoltLogFileList) == 1656, "file list");
_Static_assert(offsetof(XoltLogFileList, query) == 24, "file list query");
_Static_assert(sizeof(XoltLogQueryNode) == 40, "query node");
_Static_assert(offsetof(XoltLogQueryNode, left) == 24, "query node children");
_Static_assert(sizeof(XoltLogContextEntry) == 32, "context entry");

_Static_assert(sizeof(XoltRirMsg) == 16, "rir message");
_Static_assert(sizeof(XoltRirArgNode) == 32, "argument node");
_Static_assert(offsetof(XoltRirArgNode, value) == 8, "first value");
_Static_assert(offsetof(XoltRirArgNode, next) == 24, "next node");
_Static_assert(sizeof(XoltRirArgIter) == 8, "argument iterator");

_Static_assert(sizeof(XoltLogTextMsg) == 4120, "text buffer");
_Static_assert(offsetof(XoltLogTextMsg, storage) == 4096, "text buffer storage");
_Static_assert(offsetof(XoltLogTextMsg, remaining) == 4104, "text buffer remaining");
_Static_assert(offsetof(XoltLogTextMsg, capacity) == 4112, "text buffer capacity");
_Static_assert(sizeof(XoltLogParseError) == 16, "parse error");
_Static_assert(offsetof(XoltLogParseError, reason) == 8, "parse error reason");

_Static_assert(sizeof(XoltLogFileContext) == 32792, "file context");
_Static_assert(offsetof(XoltLogFileContext, read_buffer) == 16, "read buffer");
_Static_assert(offsetof(XoltLogFileContext, read_position) == 32784, "read position");

_Static_assert(sizeof(XoltLogFindData) == 320, "find data");
_Static_assert(offsetof(XoltLogFindData, creation_time) == 4, "creation time");
_Static_assert(offsetof(XoltLogFindData, size_high) == 28, "size");
_Static_assert(offsetof(XoltLogFindData, file_name) == 44, "found name");
_Static_assert(offsetof(XoltLogFindData, alternate_name) == 304, "alternate name");
_Static_assert(sizeof(XoltLogDirListing) == 328, "directory listing");
_Static_assert(offsetof(XoltLogDirListing, find_data) == 8, "listing entry");

_Static_assert(sizeof(XoltLogHeader) == 544, "header");
_Static_assert(offsetof(XoltLogHeader, creation_time) == 16, "header creation time");
_Static_assert(offsetof(XoltLogHeader, host_name) == 24, "header host name");
_Static_assert(offsetof(XoltLogHeader, tz_offset) == 536, "header zone offset");

_Static_assert(sizeof(XoltLogFileEntry) == 35496, "log file entry");
_Static_assert(offsetof(XoltLogFileEntry, file) == 16, "entry file context");
_Static_assert(offsetof(XoltLogFileEntry, record) == 32808, "entry record");
_Static_assert(offsetof(XoltLogFileEntry, time) == 34456, "entry time");
_Static_assert(offsetof(XoltLogFileEntry, directory) == 34468, "entry directory");
_Static_assert(offsetof(XoltLogFileEntry, file_name) == 35493, "entry file name");

_Static_assert(sizeof(XoltLogCfg) == 3344, "configuration record");
_Static_assert(offsetof(XoltLogCfg, file_sddl) == 1056, "file security");
_Static_assert(offsetof(XoltLogCfg, event_source) == 1112, "event source");
_Static_assert(offsetof(XoltLogCfg, event_source.category) == 1192, "event category");
_Static_assert(offsetof(XoltLogCfg, product_names) == 1194, "product names");
_Static_assert(offsetof(XoltLogCfg, l10n_lib) == 3248, "localization library");
_Static_assert(offsetof(XoltLogCfg, change_mask) == 3272, "change mask");
_Static_assert(offsetof(XoltLogCfg, oid_diag_logging) == 3336, "originator diagnostic logging");

_Static_assert(sizeof(XoltLogPropertyStore) == 816, "property store");
_Static_assert(offsetof(XoltLogPropertyStore, file) == 8, "store file");
_Static_assert(offsetof(XoltLogPropertyStore, file.section) == 16, "store section");
_Static_assert(offsetof(XoltLogPropertyStore, file.file_name) == 416, "store file name");

static int failures = 0;

static void check(int condition, const char* what) {
  if (!condition) {
    fprintf(stderr, "failed: %s\n", what);
    ++failures;
  }
}

static int32_t build_text(XoltRirMsg* msg, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int32_t status = xoltRirTextV(msg, format, args);
  va_end(args);
  return status;
}

int main(void) {
  XoltLogHandle handle;
  XoltLogMsg msg;
  XoltRirMsg text_msg;
  const char* text = NULL;

  memset(&handle, 0, sizeof handle);
  memset(&text_msg, 0, sizeof text_msg);
  handle.context_marker = 1;
  handle.sequence_counter = 1;

  check(xoltLogInitMsg(&msg, &handle, XOLTLOG_MSG_APP, "from C") == XOLTLOG_OK, "init");
  check(xoltLogGetMsgText(&msg, &text) == XOLTLOG_OK && strcmp(text, "from C") == 0, "text");
  check(xoltLogSetAppAttrEx(&msg, "c-test", 1) == XOLTLOG_OK, "attributes");
  check(build_text(&msg.rir, "%d apples", 3) == XOLT_RIR_OK, "rir text");
  check(msg.rir.args != NULL && msg.rir.args->type == XOLT_RIR_ARG_LONGLONG, "first node");
  check(xoltLogFreeMsg(&msg) == XOLTLOG_OK, "free");
  check(xoltRirFree(&text_msg) == XOLT_RIR_OK, "free empty");
  check(XOLTLOG_E_OSLOG_REFUSED == 4294967295u, "all-ones result");
  check(xoltLogMapRirResToLoggingRes(-4) == XOLTLOG_E_RIR, "rir mapping");
  return failures == 0 ? 0 : 1;
}
