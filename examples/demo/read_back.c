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

/* Record lines as the file writer lays them out: numbers up to a comma,
 * strings as "N:bytes,". Returns 0 when the line does not follow. */
static int next_number(const char** p, long long* value) {
  char* end = NULL;
  *value = strtoll(*p, &end, 10);
  if (end == *p || (*end != ',' && *end != '\0')) return 0;
  *p = *end == ',' ? end + 1 : end;
  return 1;
}

static int next_string(const char** p, const char** bytes, int* length) {
  char* end = NULL;
  const unsigned long count = strtoul(*p, &end, 10);
  if (end == *p || *end != ':' || count > strlen(end + 1)) return 0;
  *bytes = end + 1;
  *length = (int)count;
  *p = end + 1 + count;
  if (**p == ',') ++*p;
  return 1;
}

/* "app warning", "diag 2", "audit failure", ... from the type and the
 * number that follows the who, subject or title field. */
static void describe_kind(long long type, long long number, char* kind, size_t size) {
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

static void render_record(const char* line, unsigned counts[6]) {
  long long f[8]; /* type, product, originator, file originator, sequence, time, pid, tid */
  long long number = 0;
  const char *p = line, *token = "", *text = "", *who = "";
  int token_n = 0, text_n = 0, who_n = 0, readable = 1;
  for (int i = 0; i < 8 && readable; ++i) readable = next_number(&p, &f[i]);
  readable = readable && f[0] >= 0 && f[0] <= 4 && next_string(&p, &token, &token_n) &&
             next_string(&p, &text, &text_n) && next_string(&p, &who, &who_n) &&
             (f[0] == XOLTLOG_MSG_CONTEXT || next_number(&p, &number));
  if (!readable) {
    ++counts[5]; /* no secure audit record reaches a file: the slot counts these */
    printf("    (unreadable) %.60s\n", line);
    return;
  }
  ++counts[f[0]];
  if (total_of(counts) > SHOWN_PER_FILE) return;
  const time_t seconds = (time_t)(f[5] / 1000);
  struct tm local;
  char clock[16] = "", kind[24];
  if (localtime_r(&seconds, &local) != NULL) strftime(clock, sizeof clock, "%H:%M:%S", &local);
  describe_kind(f[0], number, kind, sizeof kind);
  printf("    #%-3lld %s.%03lld pid %lld tid %lld  %-13s %-14.*s", f[4], clock, f[5] % 1000, f[6],
         f[7], kind, who_n, who);
  if (token_n > 0) printf(" [%.*s]", token_n, token);
  /* A catalog message has no text: its identifier and typed arguments
   * stand in the argument list. */
  if (text_n > 0) {
    printf(" %.*s\n", text_n, text);
  } else {
    printf(" catalog %s\n", p);
  }
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
    if (status == 1) render_record(line.storage, counts);
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
