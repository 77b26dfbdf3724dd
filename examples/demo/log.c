/* One process's share of the logging: a handle per originator, shared by
 * every thread, each thread logging every kind of message, and in the first
 * process a context that lives while the threads run. */
#include <pthread.h>
#include <stdio.h>
#include <string.h>
#include <time.h>

#include "demo.h"
#include "xoltlog/xoltlog.h"

#define THREADS 3
#define ROUNDS 8

typedef struct Worker {
  XoltLogHandle* handles[2]; /* frontend, worker */
  XoltLogHandle* context;    /* null when the process has none */
  int index;
  uint32_t first_failure;
  const char* failed_call;
} Worker;

/* Keeps the first failure; filtered messages return 0 like written ones. */
static void note(Worker* worker, const char* call, uint32_t result) {
  if (result != XOLTLOG_OK && worker->failed_call == NULL) {
    worker->failed_call = call;
    worker->first_failure = result;
  }
}

static void log_round(Worker* w, XoltLogHandle* h, const char* who, int round) {
  const uint32_t severity = (uint32_t)(round % 3); /* information, warning, error */
  const int32_t level = 1 + round % 5;             /* above a handle's level: dropped */
  note(w, "xoltLogAppMsgEx",
       xoltLogAppMsgEx(h, 0, severity, who, 0, "order %d of %s accepted", round, who));
  note(w, "xoltLogDiagMsg",
       xoltLogDiagMsg(h, 0, level, who, 0, "queue depth %d (level %d)", round * 7, level));
  note(w, "xoltLogDebugMsg",
       xoltLogDebugMsg(h, 0, level, who, "cache %s for key %d (level %d)",
                       round % 2 ? "hit" : "miss", round, level));
  note(w, "xoltLogAuditMsg",
       xoltLogAuditMsg(h, 0, "alice", (uint32_t)(round % 2), DEMO_MSG_LOGIN, "%s %u", "alice",
                       8000u + (unsigned)round));
  if (round % 3 == 0) {
    note(w, "xoltLogAppMsgEx (catalog)",
         xoltLogAppMsgEx(h, 0, 1, who, DEMO_MSG_DISK_LOW, "%s %u %{time}", "/var/spool", 91u,
                         (int64_t)time(NULL)));
  }
}

static void* run_thread(void* argument) {
  Worker* w = argument;
  char who[32];
  snprintf(who, sizeof who, "thread-%d", w->index);
  for (int round = 0; round < ROUNDS; ++round) {
    log_round(w, w->handles[(round + w->index) % 2], who, round);
    if (w->context != NULL && round % 2 == 0) {
      /* Through the context: the record carries its title as token. */
      note(w, "xoltLogAppMsgEx (context)",
           xoltLogAppMsgEx(w->context, 0, 0, who, 0, "batch item %d imported", round));
    }
  }
  return NULL;
}

static int run_threads(XoltLogHandle* handles[2], XoltLogHandle* context) {
  pthread_t threads[THREADS];
  Worker workers[THREADS];
  int failed = 0;
  for (int i = 0; i < THREADS; ++i) {
    memset(&workers[i], 0, sizeof workers[i]);
    workers[i].handles[0] = handles[0];
    workers[i].handles[1] = handles[1];
    workers[i].context = context;
    workers[i].index = i;
    pthread_create(&threads[i], NULL, run_thread, &workers[i]);
  }
  for (int i = 0; i < THREADS; ++i) {
    pthread_join(threads[i], NULL);
    if (workers[i].failed_call != NULL) {
      demo_failed(workers[i].failed_call, workers[i].first_failure);
      failed = 1;
    }
  }
  return failed;
}

static int log_with_context(XoltLogHandle* handles[2]) {
  XoltLogHandle context;
  memset(&context, 0, sizeof context);
  const uint32_t created = xoltLogCreateContext(handles[0], &context, "nightly-import", 0,
                                                "import of batch %d started by process %u", 42,
                                                getPID());
  if (created != XOLTLOG_OK) {
    xoltLogDestroyContext(&context); /* its record holds memory whatever the result */
    demo_failed("xoltLogCreateContext", created);
    return 1;
  }
  printf("process %u: context \"nightly-import\" created (sequence %u)\n", getPID(),
         context.context_record.sequence);
  const int failed = run_threads(handles, &context);
  /* Destroyed before the handle closes: it shares the handle's settings. */
  const uint32_t destroyed = xoltLogDestroyContext(&context);
  printf("process %u: context destroyed (result %u)\n", getPID(), destroyed);
  /* Enough to roll over once more: files started from here on no longer
   * begin with the context's record. */
  uint32_t result = XOLTLOG_OK;
  for (int line = 1; line <= 24 && result == XOLTLOG_OK; ++line) {
    result = xoltLogAppMsgEx(handles[0], 0, 0, "wrap-up", 0, "summary line %d of 24", line);
  }
  if (result != XOLTLOG_OK) demo_failed("xoltLogAppMsgEx (wrap-up)", result);
  return failed || destroyed != XOLTLOG_OK || result != XOLTLOG_OK;
}

int demo_log_from_process(int first_process) {
  XoltLogHandle frontend, worker;
  XoltLogHandle* handles[2] = {&frontend, &worker};
  memset(&frontend, 0, sizeof frontend);
  memset(&worker, 0, sizeof worker);
  uint32_t result = xoltLogOpen(DEMO_PRODUCT, DEMO_FRONTEND, &frontend);
  if (result == XOLTLOG_OK) {
    result = xoltLogOpen(DEMO_PRODUCT, DEMO_WORKER, &worker);
  }
  int failed = result != XOLTLOG_OK;
  if (failed) {
    demo_failed("xoltLogOpen", result);
  } else {
    printf("process %u: %d threads logging through originators %u and %u\n", getPID(), THREADS,
           DEMO_FRONTEND, DEMO_WORKER);
    failed = first_process ? log_with_context(handles) : run_threads(handles, NULL);
    xoltLogAppMsg(&frontend, 0, 0, 0, "process %u done", getPID());
  }
  xoltLogClose(&worker);
  xoltLogClose(&frontend);
  return failed;
}
