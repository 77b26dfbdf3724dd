// Building the two kinds of messages and filling a record: the work every
// entry point does before anything reaches a file.
#include <benchmark/benchmark.h>

#include <cstdarg>
#include <cstdio>

#include "xoltlog/frame.h"
#include "xoltlog/handle.h"
#include "xoltlog/message.h"
#include "xoltlog/rir.h"
#include "xoltlog/text_render.h"

namespace {

int32_t build_text(XoltRirMsg* msg, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int32_t status = xoltRirTextV(msg, format, args);
  va_end(args);
  return status;
}

int32_t build_catalog(XoltRirMsg* msg, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int32_t status = xoltRirVEx(msg, 0, 1234, format, args);
  va_end(args);
  return status;
}

void BM_TextMessage(benchmark::State& state) {
  for (auto _ : state) {
    XoltRirMsg msg{};
    benchmark::DoNotOptimize(build_text(&msg, "user %s logged in from %s after %d tries",
                                        "alice", "10.0.0.7", 3));
    xoltRirFree(&msg);
  }
}
BENCHMARK(BM_TextMessage);

uint32_t render_text(char** text, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const uint32_t result = listxt_svnprintf(text, format, args);
  va_end(args);
  return result;
}

// What a printf-style entry point pays for its text: building the message,
// both passes and the allocation.
void BM_RenderPrintfStyle(benchmark::State& state) {
  for (auto _ : state) {
    char* text = nullptr;
    render_text(&text, "user %s logged in from %s after %d tries", "alice", "10.0.0.7", 3);
    benchmark::DoNotOptimize(text);
    xoltLogFree(text);
  }
}
BENCHMARK(BM_RenderPrintfStyle);

// Baseline for the text message: printf rendering the same text.
void BM_SnprintfSameText(benchmark::State& state) {
  char line[256];
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::snprintf(line, sizeof line,
                                           "user %s logged in from %s after %d tries", "alice",
                                           "10.0.0.7", 3));
  }
}
BENCHMARK(BM_SnprintfSameText);

void BM_CatalogMessage(benchmark::State& state) {
  for (auto _ : state) {
    XoltRirMsg msg{};
    benchmark::DoNotOptimize(build_catalog(&msg, "%s %s %d", "alice", "10.0.0.7", 3));
    xoltRirFree(&msg);
  }
}
BENCHMARK(BM_CatalogMessage);

void BM_InitAndFreeRecord(benchmark::State& state) {
  XoltLogHandle handle{};
  handle.context_marker = 1;
  for (auto _ : state) {
    XoltLogMsg msg;
    xoltLogInitMsg(&msg, &handle, XOLTLOG_MSG_APP, "user alice logged in from 10.0.0.7");
    xoltLogSetAppAttrEx(&msg, "auth", 0);
    xoltLogFreeMsg(&msg);
  }
}
BENCHMARK(BM_InitAndFreeRecord);

}  // namespace
