// Serializing a typical application record into its line, against printf
// writing the same fields into a stack buffer.
#include <benchmark/benchmark.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "xoltlog/message.h"
#include "xoltlog/record_format.h"

namespace {

constexpr const char* kText =
    "Backup of volume /srv/data finished with 3 warnings; next run scheduled at 02:00 "
    "(retry 1 of 5)";
constexpr const char* kWho = "backupd";

XoltLogMsg typical_record() {
  XoltLogMsg msg{};
  msg.record_version = XOLTLOG_RECORD_VERSION;
  msg.type = XOLTLOG_MSG_APP;
  msg.product_id = 5;
  msg.originator_id = 7;
  msg.file_originator = 7;
  msg.sequence = 1234567;
  msg.timestamp_ms = 1684318830123;
  msg.process_id = 43210;
  msg.thread_id = 43215;
  msg.text = const_cast<char*>(kText);
  msg.who_or_subject = const_cast<char*>(kWho);
  msg.attr.severity = 1;
  return msg;
}

void BM_SerializeTypicalRecord(benchmark::State& state) {
  XoltLogMsg msg = typical_record();
  XoltLogTextMsg buffer;
  std::uint64_t bytes = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(xoltLogMsgSerialize(&msg, &buffer));
    bytes += buffer.capacity - buffer.remaining;
    benchmark::DoNotOptimize(buffer.storage);
    free_text_msg(&buffer);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_SerializeTypicalRecord);

// Baseline: the same fields through snprintf, without any conversion check.
void BM_SnprintfTypicalRecord(benchmark::State& state) {
  const XoltLogMsg msg = typical_record();
  char line[512];
  std::uint64_t bytes = 0;
  for (auto _ : state) {
    const int written = std::snprintf(
        line, sizeof line,
        "%" PRIu32 ",%" PRIu32 ",%" PRIu32 ",%" PRIu32 ",%" PRIu32 ",%" PRId64 ",%" PRIu32
        ",%" PRIu32 ",0:,%zu:%s,%zu:%s,%" PRIu32 ",(%" PRIu32 "|)\n",
        msg.type, msg.product_id, msg.originator_id, msg.file_originator, msg.sequence,
        msg.timestamp_ms, msg.process_id, msg.thread_id, std::strlen(msg.text), msg.text,
        std::strlen(msg.who_or_subject), msg.who_or_subject, msg.attr.severity, msg.rir.id);
    benchmark::DoNotOptimize(line);
    bytes += static_cast<std::uint64_t>(written);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_SnprintfTypicalRecord);

}  // namespace
