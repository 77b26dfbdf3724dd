// Exported handle helpers: sequence numbers, record initialisation and the
// process and thread identifiers. Opening, closing and the level accessors
// are in handle_exports.cpp and levels.cpp.
#include "api/handle_ops.h"
#include "frame/library_lock.h"
#include "message/record.h"
#include "message/sequence.h"
#include "platform/process.h"
#include "writer/file_writer.h"
#include "xoltlog/handle.h"
#include "xoltlog/message.h"

#include <cstddef>
#include <optional>

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

// Here rather than with the other record operations in message/: the record
// takes its product from the handle's file writer, which only a layer above
// both may ask.
std::uint32_t xoltlog::init_handle_record(const LibraryLockGuard& held, XoltLogMsg& msg,
                                          XoltLogHandle& handle, std::uint32_t type,
                                          const char* text, RecordClearing clearing) noexcept {
  std::optional<std::uint32_t> file_product;
  if (handle.file_writer != nullptr) {
    file_product = writer_product_id(held, *handle.file_writer);
  }
  return init_record(held, msg, handle, type, text, file_product, clearing);
}

extern "C" {

XOLTLOG_API uint32_t GetNextSequenceNumber(XoltLogHandle* handle) noexcept {
  if (handle == nullptr) {
    return 0;
  }
  const xoltlog::LibraryLockGuard held("GetNextSequenceNumber()");
  return xoltlog::next_sequence_number(held, *handle);
}

XOLTLOG_API uint32_t xoltLogInitMsg(XoltLogMsg* msg, XoltLogHandle* handle, uint32_t type,
                                    const char* text) noexcept {
  if (msg == nullptr || handle == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const xoltlog::LibraryLockGuard held("xoltLogInitMsg()");
  return xoltlog::init_handle_record(held, *msg, *handle, type, text);
}

XOLTLOG_API uint32_t getPID(void) noexcept { return xoltlog::platform::current_process_id(); }

XOLTLOG_API uint32_t getTID(void) noexcept { return xoltlog::platform::current_thread_id(); }

}  // extern "C"
