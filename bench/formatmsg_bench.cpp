// The console line of a typical application message, through the formatting
// library's exported function as the console output calls it.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdlib>

#include "format_message.h"
#include "xoltlog/frame.h"

namespace {

XoltLogFormatMessageFn load_formatter() {
  void* module = dlopen(XOLTLOG_BENCH_FORMATMSG, RTLD_NOW | RTLD_LOCAL);
  return module == nullptr
             ? nullptr
             : reinterpret_cast<XoltLogFormatMessageFn>(dlsym(module, "LogFormatMessage"));
}

void BM_ConsoleLineAppMessage(benchmark::State& state) {
  const XoltLogFormatMessageFn format = load_formatter();
  if (format == nullptr) {
    state.SkipWithError("xoltLogFormatMsg_3.so cannot be loaded");
    return;
  }
  setenv("NO_COLOR", "1", 1);
  char text[] = "user alice logged in from 10.0.0.7 after 3 tries";
  char who[] = "sshd";
  XoltLogMsg msg{};
  msg.type = XOLTLOG_MSG_APP;
  msg.product_id = 1001;
  msg.originator_id = 7;
  msg.timestamp_ms = 1715941230123;
  msg.text = text;
  msg.who_or_subject = who;
  msg.attr.severity = 1;
  for (auto _ : state) {
    char* line = nullptr;
    benchmark::DoNotOptimize(
        format(nullptr, 0, nullptr, 0, XOLTLOG_FORMAT_CONSOLE, 0, &msg, nullptr, &line));
    xoltLogFree(line);
  }
}
BENCHMARK(BM_ConsoleLineAppMessage);

}  // namespace
