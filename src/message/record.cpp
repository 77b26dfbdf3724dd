#include "message/record.h"

#include <cstring>

#include "platform/heap.h"
#include "message/record_attributes.h"
#include "message/sequence.h"
#include "platform/clock.h"
#include "platform/process.h"

namespace xoltlog {
namespace {

// A live context (marker 0) lends its title to every record logged through
// it; the title is the context attribute of the context's own record.
std::uint32_t take_context_token(XoltLogMsg& msg, const XoltLogHandle& handle) noexcept {
  if (handle.context_marker != 0) {
    return XOLTLOG_OK;
  }
  const char* title = nullptr;
  const std::uint32_t result = context_attribute(handle.context_record, title);
  if (result == XOLTLOG_OK) {
    msg.context_token = const_cast<char*>(title);
  }
  return result;
}

// A secure-audit record's subject is left to its owner even when the record
// owns its strings; callers rely on that documented behaviour.
bool releases_owned_subject(std::uint32_t type) noexcept {
  return type == XOLTLOG_MSG_DEBUG || type == XOLTLOG_MSG_DIAG || type == XOLTLOG_MSG_APP ||
         type == XOLTLOG_MSG_AUDIT;
}

}  // namespace

std::uint32_t init_record(const LibraryLockGuard& held, XoltLogMsg& msg, XoltLogHandle& handle,
                          std::uint32_t type, const char* text,
                          std::optional<std::uint32_t> file_product) noexcept {
  std::memset(&msg, 0, sizeof msg);
  msg.type = type;
  msg.sequence = next_sequence_number(held, handle);
  msg.process_id = platform::current_process_id();
  msg.thread_id = platform::current_thread_id();
  if (file_product) {
    msg.product_id = *file_product;
    msg.originator_id = handle.originator_id;
  }
  msg.timestamp_ms = platform::wall_clock_millis();
  if (const std::uint32_t result = take_context_token(msg, handle); result != XOLTLOG_OK) {
    return result;
  }
  // A failed copy is not reported: the record then simply has no text.
  msg.text = duplicate_string(text);
  return XOLTLOG_OK;
}

std::uint32_t free_record(XoltLogMsg& msg) noexcept {
  if (msg.type == XOLTLOG_MSG_CONTEXT) {
    release(msg.attr.context_attr);
  }
  if (msg.owns_strings == 1) {
    release(msg.context_token);
    if (releases_owned_subject(msg.type)) {
      release(msg.who_or_subject);
    }
  }
  release(msg.text);
  const bool rir_released = xoltRirFree(&msg.rir) == XOLT_RIR_OK;
  std::memset(&msg, 0, sizeof msg);
  return rir_released ? XOLTLOG_OK : XOLTLOG_E_FAILED;
}

}  // namespace xoltlog
