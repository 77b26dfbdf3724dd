/* Builds a catalog message and a printf-style message with the catalog
 * library, fills message records from them and prints the records' fields. */
#include <inttypes.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "xoltlog/xoltlog.h"

static int32_t build_catalog(XoltRirMsg* msg, uint32_t id, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int32_t status = xoltRirVEx(msg, 0, id, format, args);
  va_end(args);
  return status;
}

static int32_t build_text(XoltRirMsg* msg, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int32_t status = xoltRirTextV(msg, format, args);
  va_end(args);
  return status;
}

static void print_argument(const XoltRirArgNode* node) {
  const XoltRirArgValue* v = &node->value;
  switch (node->type) {
    case XOLT_RIR_ARG_WCHAR: printf("wide char U+%04" PRIX32, (uint32_t)v->first.wide_char); break;
    case XOLT_RIR_ARG_LONGLONG:
      printf("signed %" PRIu64 "-bit %" PRId64, v->first.width, v->second.signed_number);
      break;
    case XOLT_RIR_ARG_ULONGLONG:
      printf("unsigned %" PRIu64 "-bit %" PRIu64, v->first.width, v->second.unsigned_number);
      break;
    case XOLT_RIR_ARG_DOUBLE: printf("double %f", v->first.number_double); break;
    case XOLT_RIR_ARG_POINTER: printf("pointer 0x%" PRIx64, v->first.number); break;
    case XOLT_RIR_ARG_WSTRING: printf("wide string \"%ls\"", v->first.wide_string); break;
    case XOLT_RIR_ARG_OS_ERROR:
    case XOLT_RIR_ARG_OS_ERROR64: printf("os error %" PRId64, v->second.signed_number); break;
    case XOLT_RIR_ARG_DATETIME: printf("time %" PRId64, v->first.time); break;
    case XOLT_RIR_ARG_RIR: printf("nested message %" PRIu32, v->first.rir->id); break;
    case XOLT_RIR_ARG_UTF8STRING: printf("utf-8 string \"%s\"", v->first.string); break;
    case XOLT_RIR_ARG_NATIVESTRING: printf("string \"%s\"", v->first.string); break;
    default: printf("type %" PRId32, node->type); break;
  }
}

static void print_record(const char* title, XoltLogMsg* msg) {
  const char* text = NULL;
  const char* who = NULL;
  uint32_t severity = 0;
  XoltRirMsg* rir = NULL;
  const XoltRirArgNode* node;
  int index = 0;

  xoltLogGetMsgText(msg, &text);
  xoltLogGetMsgAppAttrWho(msg, &who);
  xoltLogGetMsgAppAttrSeverity(msg, &severity);
  xoltLogGetMsgRir(msg, &rir);
  printf("%s\n", title);
  printf("  type %" PRIu32 ", sequence %" PRIu32 ", time %" PRId64 " ms\n", msg->type,
         msg->sequence, msg->timestamp_ms);
  printf("  process %" PRIu32 ", thread %" PRIu32 ", product %" PRIu32 ", originator %" PRIu32
         "\n", msg->process_id, msg->thread_id, msg->product_id, msg->originator_id);
  printf("  who \"%s\", severity %" PRIu32 ", text \"%s\"\n", who ? who : "", severity,
         text ? text : "");
  printf("  catalog id %" PRIu32 "\n", rir->id);
  for (node = rir->args; node != NULL; node = node->next) {
    printf("  argument %d: ", index++);
    print_argument(node);
    printf("\n");
  }
}

static int fill(XoltLogHandle* handle, XoltLogMsg* msg, XoltRirMsg* rir, uint32_t severity) {
  if (xoltLogInitMsg(msg, handle, XOLTLOG_MSG_APP, NULL) != XOLTLOG_OK) {
    return 0;
  }
  xoltLogSetAppAttrEx(msg, "record_demo", severity);
  msg->rir = *rir; /* the record takes the catalog message over */
  memset(rir, 0, sizeof *rir);
  return 1;
}

int main(void) {
  XoltLogHandle handle;
  XoltLogMsg msg;
  XoltRirMsg rir;
  int32_t status;

  memset(&handle, 0, sizeof handle);
  handle.context_marker = 1; /* an ordinary handle, not a live context */
  handle.sequence_counter = 1;

  memset(&rir, 0, sizeof rir);
  status = build_catalog(&rir, 1234, "%s %ls %u %{oserr} %{time}", "disk", L"/var/log", 3u, 28,
                         (int64_t)1684318830);
  if (status != XOLT_RIR_OK || !fill(&handle, &msg, &rir, 2)) {
    fprintf(stderr, "catalog message failed: %" PRId32 "\n", status);
    return 1;
  }
  print_record("catalog message 1234:", &msg);
  xoltLogFreeMsg(&msg);

  status = build_text(&rir, "Disk %s is %d%% full (%.1f GB free)", "/dev/sda1", 97, 1.25);
  if (status != XOLT_RIR_OK || !fill(&handle, &msg, &rir, 1)) {
    fprintf(stderr, "printf-style message failed: %" PRId32 "\n", status);
    return 1;
  }
  print_record("printf-style message:", &msg);
  xoltLogFreeMsg(&msg);
  return 0;
}
