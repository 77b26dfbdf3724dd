// xoltLogMsg: the one operation every entry point ends in. It turns a
// pending printf-style Rir message into text, appends the record to the
// handle's log file and hands it to the console and event-log outputs.
#include <cstdint>
#include <cstring>

#include "api/entry.h"
#include "api/handle_ops.h"
#include "frame/boundary.h"
#include "frame/library_lock.h"
#include "platform/heap.h"
#include "message/record.h"
#include "output/dispatch.h"
#include "writer/write_path.h"
#include "xoltlog/log.h"
#include "xoltlog/text_render.h"

namespace xoltlog {
namespace {

constexpr std::uint64_t kRenderFailed = UINT64_MAX;

// A printf-style Rir message (identifier 0) has no catalog text for the
// reader to look up, so the record carries its rendering instead. When it
// cannot be rendered the Rir message stays, so nothing of it is lost.
void render_pending_rir(XoltLogMsg& msg) noexcept {
  if (msg.text != nullptr || msg.rir.id != 0) {
    return;
  }
  std::uint64_t size = 0;
  strncatlis(nullptr, &size, &msg.rir);
  if (size == kRenderFailed) {
    return;
  }
  if (size != 0) {
    BlockPtr<char> text(static_cast<char*>(allocate(size)));
    if (!text) {
      return;
    }
    std::memset(text.get(), 0, size);
    if (strncatlis(text.get(), &size, &msg.rir) == nullptr) {
      return;
    }
    msg.text = text.release();
  }
  xoltRirFree(&msg.rir);
}

}  // namespace

std::uint32_t log_record(const LibraryLockGuard& held, XoltLogHandle& handle, std::uint32_t flags,
                         XoltLogMsg& msg) noexcept {
  // Secure audit records never reach a file: they belong to secure handles.
  if (msg.type == XOLTLOG_MSG_SECURE_AUDIT && handle.file_writer != nullptr) {
    return XOLTLOG_E_SECURE_TO_FILE;
  }
  msg.utf8 = handle.utf8;
  render_pending_rir(msg);
  std::uint32_t file_result = XOLTLOG_OK;
  if (msg.type != XOLTLOG_MSG_SECURE_AUDIT) {
    file_result = guarded(XOLTLOG_E_FAILED,
                          [&] { return write_record(held, handle.file_writer, &msg, true); });
  }
  // The outputs run even when the file failed; the file's result wins. The
  // configuration chose the handle's outputs, the call may add to them.
  const std::uint32_t output_result =
      dispatch_outputs(held, handle, msg, handle.output_flags | flags);
  return file_result != XOLTLOG_OK ? file_result : output_result;
}

std::uint32_t init_for_build(const LibraryLockGuard& held, XoltLogHandle& handle,
                             const BuildRequest& request, XoltLogMsg& msg) noexcept {
  const std::uint32_t result = init_handle_record(held, msg, handle, request.type, request.text);
  if (result != XOLTLOG_OK && request.rir != nullptr && !request.secure) {
    xoltRirFree(request.rir);
  }
  return result;
}

std::uint32_t finish_build(const LibraryLockGuard& held, XoltLogHandle& handle,
                           const BuildRequest& request, XoltLogMsg& msg,
                           std::uint32_t attributes) noexcept {
  if (request.secure) {
    msg.sequence = 0;
  } else if ((request.flags & kFlagOwnSequence) == 0) {
    msg.sequence = request.sequence;
  }
  std::uint32_t result = attributes;
  if (result == XOLTLOG_OK) {
    if (request.rir != nullptr) {
      msg.rir = *request.rir;
      *request.rir = XoltRirMsg{};
    }
    result = log_record(held, handle, request.flags, msg);
  } else if (request.rir != nullptr) {
    // The Rir message was handed to the call: it must not outlive it.
    xoltRirFree(request.rir);
  }
  free_record(msg);
  return result;
}

}  // namespace xoltlog

extern "C" {

XOLTLOG_API uint32_t xoltLogMsg(XoltLogHandle* handle, uint32_t flags, XoltLogMsg* msg) noexcept {
  if (handle == nullptr || msg == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const xoltlog::LibraryLockGuard held("xoltLogMsg()");
  return xoltlog::log_record(held, *handle, flags, *msg);
}

}  // extern "C"
