#include "api/context.h"

#include <cstring>

#include "api/handle_ops.h"
#include "frame/boundary.h"
#include "platform/heap.h"
#include "frame/result_map.h"
#include "message/record.h"
#include "message/record_attributes.h"
#include "message/text_render.h"
#include "writer/file_writer.h"
#include "writer/write_path.h"
#include "writer/writer_open.h"
#include "xoltlog/rir.h"

namespace xoltlog {
namespace {

// The context's Rir message, on a copy of args.
std::int32_t request_context_rir(const XoltLogHandle& parent, XoltRirMsg& rir, std::uint32_t id,
                                 const char* format, va_list args) noexcept {
  va_list copy;
  va_copy(copy, args);
  const std::int32_t status =
      id != 0 ? xoltRirVEx(&rir, parent.utf8, id, format, copy) : xoltRirTextV(&rir, format, copy);
  va_end(copy);
  return status;
}

struct OwnedRir {
  XoltRirMsg msg{};
  ~OwnedRir() { xoltRirFree(&msg); }
};

// The record borrowed the parent context's title as its token; it must own
// it, since the record is re-written long after that title may be gone.
std::uint32_t own_context_token(XoltLogMsg& record) noexcept {
  if (record.context_token == nullptr) {
    return XOLTLOG_OK;
  }
  char* copy = duplicate_string(record.context_token);
  if (copy == nullptr) {
    record.context_token = nullptr;
    return XOLTLOG_E_NO_MEMORY;
  }
  record.context_token = copy;
  record.owns_strings = 1;
  return XOLTLOG_OK;
}

// The Rir message is asked for first: the printf-style text is its
// rendering, and a record whose text was lost to a lack of memory would be
// re-written into every new file without it, so that is a failure here.
std::uint32_t fill_context_record(XoltLogHandle& parent, XoltLogMsg& record, const char* title,
                                  std::uint32_t id, const char* format, va_list args) noexcept {
  OwnedRir rir;
  if (const std::int32_t status = request_context_rir(parent, rir.msg, id, format, args);
      status != XOLT_RIR_OK) {
    return map_rir_status(status);
  }
  BlockPtr<char> text;
  if (id == 0 && !render_text(rir.msg, text)) {
    return XOLTLOG_E_NO_MEMORY;
  }
  {
    const LibraryLockGuard held("xoltLogCreateContext()");
    if (const std::uint32_t result =
            init_handle_record(held, record, parent, XOLTLOG_MSG_CONTEXT, text.get());
        result != XOLTLOG_OK) {
      return result;
    }
  }
  if (text != nullptr && record.text == nullptr) {
    return XOLTLOG_E_NO_MEMORY;
  }
  if (const std::uint32_t result = own_context_token(record); result != XOLTLOG_OK) {
    return result;
  }
  if (title == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  if (const std::uint32_t result = set_context_attribute(record, title); result != XOLTLOG_OK) {
    return result;
  }
  record.rir = rir.msg;
  rir.msg = XoltRirMsg{};
  return XOLTLOG_OK;
}

// Everything a context takes from its parent for as long as it lives.
void share_from_parent(const XoltLogHandle& parent, XoltLogHandle& context) noexcept {
  context.file_writer = parent.file_writer;
  context.originator_id = parent.originator_id;
  context.debug_level = parent.debug_level;
  context.diag_level = parent.diag_level;
  context.secure_audit_level = parent.secure_audit_level;
  context.output_flags = parent.output_flags;
  context.localizers = parent.localizers;
  context.oslog = parent.oslog;
  context.reload_interval = parent.reload_interval;
  context.open_time = parent.open_time;
  context.last_reload_check = parent.last_reload_check;
  context.config = parent.config;
  context.context_marker = 1;
  context.sequence_counter = 1;
  context.next = nullptr;
}

// A context that is not attached keeps no way into its parent's writer,
// configuration or event log: those may end without it.
void cut_from_parent(XoltLogHandle& context) noexcept {
  context.file_writer = nullptr;
  context.config = nullptr;
  context.oslog = XoltLogOsLogConn{};
  context.context_marker = 1;
}

}  // namespace

std::uint32_t build_context_record(XoltLogHandle& parent, XoltLogHandle& context, const char* title,
                                   std::uint32_t id, const char* format, va_list args) noexcept {
  // Whatever the caller's storage held, a failed creation leaves a context
  // that destroying (and closing) handles safely. Its UTF-8 flag is the
  // caller's to set.
  const std::uint32_t utf8 = context.utf8;
  std::memset(&context, 0, sizeof context);
  context.utf8 = utf8;
  cut_from_parent(context);
  const std::uint32_t result =
      fill_context_record(parent, context.context_record, title, id, format, args);
  if (result != XOLTLOG_OK) {
    free_record(context.context_record);
  }
  return result;
}

std::uint32_t attach_context(const LibraryLockGuard& held, XoltLogHandle& parent,
                             XoltLogHandle& context, XoltLogMsg& record) noexcept {
  share_from_parent(parent, context);
  record.utf8 = parent.utf8;
  const std::uint32_t result = guarded(
      XOLTLOG_E_FAILED, [&] { return write_record(held, parent.file_writer, &record, true); });
  if (result != XOLTLOG_OK) {
    cut_from_parent(context);
    return result;
  }
  context.context_marker = 0;
  return add_log_to_file(held, &context);
}

std::uint32_t destroy_context(const LibraryLockGuard& held, XoltLogHandle& context) noexcept {
  free_record(context.context_record);
  context.context_marker = 1;
  context.config = nullptr;
  context.oslog = XoltLogOsLogConn{};
  if (context.file_writer == nullptr) {
    return XOLTLOG_E_FAILED;
  }
  const std::uint32_t result = close_file(held, context);
  context.file_writer = nullptr;
  return result;
}

bool attached_to_writer_of(const LibraryLockGuard& held, const XoltLogHandle& parent,
                           const XoltLogHandle& handle) noexcept {
  if (parent.file_writer == nullptr) {
    return false;
  }
  for (const XoltLogHandle* entry = writer_attached(held, *parent.file_writer); entry != nullptr;
       entry = entry->next) {
    if (entry == &handle) {
      return true;
    }
  }
  return false;
}

void rewrite_live_contexts(const LibraryLockGuard& held, XoltLogFileWriter& writer) noexcept {
  for (XoltLogHandle* entry = writer_attached(held, writer); entry != nullptr;
       entry = entry->next) {
    if (entry->context_marker == 0) {
      guarded(XOLTLOG_E_FAILED,
              [&] { return write_record(held, &writer, &entry->context_record, false); });
    }
  }
}

void withdraw_shared_from_contexts(const LibraryLockGuard& held, XoltLogHandle& parent) noexcept {
  if (parent.file_writer == nullptr) {
    return;
  }
  for (XoltLogHandle* entry = writer_attached(held, *parent.file_writer); entry != nullptr;
       entry = entry->next) {
    if (entry == &parent || entry->context_marker != 0) {
      continue;
    }
    if (parent.config != nullptr && entry->config == parent.config) {
      entry->config = nullptr;
    }
    if (parent.oslog.event_log != nullptr && entry->oslog.event_log == parent.oslog.event_log) {
      entry->oslog = XoltLogOsLogConn{};
    }
  }
}

}  // namespace xoltlog
