// Exported log-handle operations. Opening and closing handles join these
// when the file writer and configuration reading are in place.
#include "message/sequence.h"
#include "platform/process.h"
#include "xoltlog/handle.h"

#include <cstddef>

static_assert(sizeof(XoltLogHandle) == 1768);
static_assert(offsetof(XoltLogHandle, context_marker) == 24);
static_assert(offsetof(XoltLogHandle, context_record) == 32);
static_assert(offsetof(XoltLogHandle, oslog) == 1680);
static_assert(offsetof(XoltLogHandle, next) == 1696);
static_assert(offsetof(XoltLogHandle, localizers) == 1704);
static_assert(offsetof(XoltLogHandle, sequence_counter) == 1720);
static_assert(offsetof(XoltLogHandle, open_time) == 1728);
static_assert(offsetof(XoltLogHandle, reload_interval) == 1744);
static_assert(offsetof(XoltLogHandle, config) == 1752);
static_assert(offsetof(XoltLogHandle, utf8) == 1760);
static_assert(offsetof(XoltLogHandle, originator_id) == 1764);

extern "C" {

XOLTLOG_API uint32_t GetNextSequenceNumber(XoltLogHandle* handle) noexcept {
  return xoltlog::next_sequence_number(handle);
}

XOLTLOG_API uint32_t getPID(void) noexcept { return xoltlog::platform::current_process_id(); }

XOLTLOG_API uint32_t getTID(void) noexcept { return xoltlog::platform::current_thread_id(); }

}  // extern "C"
