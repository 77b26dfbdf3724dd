#include "writer/file_start.h"
#include "writer/file_writer.h"
#include "writer/shared_writer.h"
#include "writer/writer_open.h"
#include "writer/writer_state.h"

namespace xoltlog {
namespace {

bool unlink_from(XoltLogFileWriter& writer, XoltLogHandle& handle) noexcept {
  for (XoltLogHandle** link = &writer.attached_; *link != nullptr; link = &(*link)->next) {
    if (*link == &handle) {
      *link = handle.next;
      handle.next = nullptr;
      return true;
    }
  }
  return false;
}

// The last handle gone: the file closes and the writer ends.
void end_writer(const LibraryLockGuard& held, XoltLogHandle& handle) noexcept {
  XoltLogFileWriter* writer = handle.file_writer;
  close_current_file(held, *writer);
  if (writer->logset_mode_ == 0) {
    withdraw_writer(held, *writer);
  }
  free_file_writer(held, writer);
  handle.file_writer = nullptr;
}

}  // namespace

std::uint32_t close_file(const LibraryLockGuard& held, XoltLogHandle& handle) noexcept {
  XoltLogFileWriter& writer = *handle.file_writer;
  if (!unlink_from(writer, handle)) {
    // A writer with nobody attached was never connected (its open failed
    // early): it is this handle's alone and must not outlive it.
    if (writer.attached_ == nullptr) {
      end_writer(held, handle);
    }
    return XOLTLOG_E_FAILED;
  }
  if (writer.attached_ == nullptr) {
    end_writer(held, handle);
  }
  // A detached handle must not keep a way into a writer that others may end.
  handle.file_writer = nullptr;
  return XOLTLOG_OK;
}

}  // namespace xoltlog
