/* Reading the log files back through the library: the directory listing,
 * the latest file of each originator, each file's header and its record
 * lines, shown one line per record. */
#include <inttypes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "demo.h"
#include "xoltlog/xoltlog.h"

#define MAX_FILES 64
#define SHOWN_PER_FILE 8

static const char* const kTypeNames[] = {"debug", "diag", "app", "context", "audit", "secure"};

/* "app warning", "diag 2", "audit failure", ... from the type and the
 * number that follows the who, subject or title field. */
static void describe_kind(uint32_t type, long long number, char* kind, size_t size) {
  static const char* const kSeverities[] = {"info", "warning", "error", "error", "error"};
  if (type == XOLTLOG_MSG_APP && number >= 0 && number <= 4) {
    snprintf(kind, size, "app %s", kSeverities[number]);
  } else if (type == XOLTLOG_MSG_AUDIT) {
    snprintf(kind, size, "audit %s", number == 0 ? "success" : "failure");
  } else if (type == XOLTLOG_MSG_DEBUG || type == XOLTLOG_MSG_DIAG) {
    snprintf(kind, size, "%s %lld", kTypeNames[type], number);
  } else {
    snprintf(kind, size, "%s", kTypeNames[type]);
  }
}

static unsigned total_of(const unsigned counts[6]) {
  return counts[0] + counts[1] + counts[2] + counts[3] + counts[4];
}

static long long number_of(const XoltLogMsg* record) {
  switch (record->type) {
    case XOLTLOG_MSG_APP: return record->attr.severity;
    case XOLTLOG_MSG_AUDIT: return record->outcome;
    case XOLTLOG_MSG_CONTEXT: return 0;
    default: return record->attr.level;
  }
}

/* One record line, read back into a message record by the library. */
static void render_record(const XoltLogTextMsg* line, uint32_t version, unsigned counts[6]) {
  XoltLogMsg record;
  XoltLogParseError error;
  const char* text = line->storage;
  if (xoltLogMsgParse(text, strlen(text), version, &record, &error) != XOLTLOG_OK) {
    ++counts[5]; /* no secure audit record reaches a file: the slot counts these */
    printf("    (unreadable at byte %" PRIu64 ": %s) %.60s\n", error.offset, error.reason, text);
    return;
  }
  ++counts[record.type];
  if (total_of(counts) <= SHOWN_PER_FILE) {
    const time_t seconds = (time_t)(record.timestamp_ms / 1000);
    struct tm local;
    char clock[16] = "", kind[24];
    if (localtime_r(&seconds, &local) != NULL) strftime(clock, sizeof clock, "%H:%M:%S", &local);
    describe_kind(record.type, number_of(&record), kind, sizeof kind);
    const char* who = record.type == XOLTLOG_MSG_CONTEXT || record.who_or_subject == NULL
                          ? ""
                          : record.who_or_subject;
    printf("    #%-3u %s.%03lld pid %u tid %u  %-13s %-14s", record.sequence, clock,
           (long long)(record.timestamp_ms % 1000), record.process_id, record.thread_id, kind,
           who);
    if (record.context_token != NULL && record.context_token[0] != '\0') {
      printf(" [%s]", record.context_token);
    }
    /* A catalog message has no text: its identifier and typed arguments
     * stand in its Rir message. */
    if (record.text != NULL && record.text[0] != '\0') {
      printf(" %s\n", record.text);
    } else {
      uint32_t count = 0;
      xoltRirGetArgCount(&record.rir, &count);
      printf(" catalog message %u with %u arguments\n", record.rir.id, count);
    }
  }
  xoltLogFreeMsg(&record);
}

/* Shows one file; adds its whole and unreadable records to totals. */
static void show_file(const char* directory, const char* name, unsigned totals[2]) {
  char path[DEMO_PATH_SIZE];
  XoltLogFileContext file;
  XoltLogHeader header;
  XoltLogTextMsg line;
  unsigned counts[6] = {0};
  snprintf(path, sizeof path, "%s%s", directory, name);
  xoltLogOs_init(&file);
  if (xoltLogOs_open(&file, path, XOLTLOG_OPEN_READ, NULL) != 0 ||
      ReadHeaderEx(&file, &header) != XOLTLOG_OK) {
    printf("  %s: no readable header\n", name);
    xoltLogOs_close(&file);
    return;
  }
  printf("  %s  (product %u, originator %u, host %s)\n", name, header.product_id,
         header.originator_id, header.host_name);
  for (;;) {
    init_text_msg(&line);
    const int32_t status = readrecord(&file, &line);
    if (status == 1) render_record(&line, header.version, counts);
    free_text_msg(&line);
    if (status != 1) break;
  }
  xoltLogOs_close(&file);
  const unsigned total = total_of(counts);
  printf("    %u records: %u app, %u diag, %u debug, %u audit, %u context%s\n", total, counts[2],
         counts[1], counts[0], counts[4], counts[3],
         total > SHOWN_PER_FILE ? " (first ones shown)" : "");
  totals[0] += total;
  totals[1] += counts[5];
}

static int by_name(const void* a, const void* b) {
  return strcmp(*(const char* const*)a, *(const char* const*)b);
}

static void show_latest(const char* directory, uint32_t originator) {
  XoltLogFileEntry* entry = NULL;
  if (xoltLogFindLatestLog(directory, DEMO_PRODUCT, originator, 0, 0, &entry) == 1) {
    printf("  latest file of originator %u: %s\n", originator, entry->file_name);
  }
  xoltLogFree(entry);
}

void demo_read_back(const char* directory) {
  XoltLogDirListing listing;
  char* names[MAX_FILES];
  size_t count = 0;
  unsigned totals[2] = {0, 0};
  memset(&listing, 0, sizeof listing);
  for (int32_t status = xoltLogOsListLogFilesBegin(&listing, directory);
       status == 0 && count < MAX_FILES; status = xoltLogOsListLogFilesNext(&listing)) {
    names[count] = xoltLogSafeStrdup(xoltLogOsListLogFilesName(&listing));
    if (names[count] != NULL) ++count;
  }
  xoltLogOsListLogFilesEnd(&listing);
  qsort(names, count, sizeof names[0], by_name);
  printf("\n%zu log files in %s, read back through the library:\n", count, directory);
  for (size_t i = 0; i < count; ++i) {
    show_file(directory, names[i], totals);
    xoltLogFree(names[i]);
  }
  printf("%u records in %zu files, %u of them unreadable.\n", totals[0], count, totals[1]);
  show_latest(directory, DEMO_FRONTEND);
  show_latest(directory, DEMO_WORKER);
}
