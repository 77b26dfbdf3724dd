#include "writer/file_writer.h"

#include <cstring>

#include "platform/heap.h"
#include "writer/writer_state.h"

namespace xoltlog {

XoltLogFileWriter* new_file_writer() noexcept {
  auto* writer = static_cast<XoltLogFileWriter*>(allocate(sizeof(XoltLogFileWriter)));
  if (writer != nullptr) {
    std::memset(writer, 0, sizeof *writer);
    platform::file_init(writer->file_);
  }
  return writer;
}

void free_file_writer(const LibraryLockGuard&, XoltLogFileWriter* writer) noexcept {
  if (writer == nullptr) {
    return;
  }
  platform::file_close(writer->file_);
  for (char* owned : {writer->file_security_, writer->second_file_security_, writer->logset_name_,
                      writer->logset_file_name_}) {
    release(owned);
  }
  release(writer);
}

std::uint32_t writer_product_id(const LibraryLockGuard&, const XoltLogFileWriter& writer) noexcept {
  return writer.product_id_;
}

std::int64_t writer_file_start_time(const LibraryLockGuard&,
                                    const XoltLogFileWriter& writer) noexcept {
  return writer.file_start_time_;
}

std::uint32_t writer_originator_id(const LibraryLockGuard&,
                                   const XoltLogFileWriter& writer) noexcept {
  return writer.originator_id_;
}

XoltLogHandle* writer_attached(const LibraryLockGuard&, const XoltLogFileWriter& writer) noexcept {
  return writer.attached_;
}

void release_writer_security(const LibraryLockGuard&, XoltLogFileWriter& writer) noexcept {
  release(writer.file_security_);
  release(writer.second_file_security_);
  writer.file_security_ = nullptr;
  writer.second_file_security_ = nullptr;
}

bool replace_writer_security(const LibraryLockGuard&, XoltLogFileWriter& writer,
                             const char* security, const char* second) noexcept {
  // Both copies first, so that a failure changes neither setting.
  BlockPtr<char> security_copy(duplicate_string(security));
  BlockPtr<char> second_copy(duplicate_string(second));
  if ((security != nullptr && !security_copy) || (second != nullptr && !second_copy)) {
    return false;
  }
  if (security != nullptr) {
    release(writer.file_security_);
    writer.file_security_ = security_copy.release();
  }
  if (second != nullptr) {
    release(writer.second_file_security_);
    writer.second_file_security_ = second_copy.release();
  }
  return true;
}

}  // namespace xoltlog
