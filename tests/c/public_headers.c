/* Compiled as C11: the public headers must stand alone in C, and the
 * caller-owned structures must have the same layout as the library's. */
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "xoltlog/xoltlog.h"

_Static_assert(sizeof(XoltLogMsg) == 1648, "message record");
_Static_assert(offsetof(XoltLogMsg, timestamp_ms) == 32, "timestamp");
_Static_assert(offsetof(XoltLogMsg, utf8) == 1600, "utf8 flag");
_Static_assert(offsetof(XoltLogMsg, rir) == 1632, "rir message");
_Static_assert(sizeof(XoltLogHandle) == 1768, "log handle");
_Static_assert(offsetof(XoltLogHandle, context_record) == 32, "context record");
_Static_assert(offsetof(XoltLogHandle, originator_id) == 1764, "originator");
_Static_assert(sizeof(XoltLogLock) == 208, "lock");
_Static_assert(sizeof(XoltRirMsg) == 16, "rir message");
_Static_assert(sizeof(XoltRirArgNode) == 32, "argument node");
_Static_assert(offsetof(XoltRirArgNode, value) == 8, "first value");
_Static_assert(offsetof(XoltRirArgNode, next) == 24, "next node");

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
