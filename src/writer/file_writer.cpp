#include "writer/file_writer.h"

#include <cstring>

#include "frame/memory.h"

namespace xoltlog {

XoltLogFileWriter* new_file_writer() noexcept {
  auto* writer = static_cast<XoltLogFileWriter*>(allocate(sizeof(XoltLogFileWriter)));
  if (writer != nullptr) {
    std::memset(writer, 0, sizeof *writer);
    platform::file_init(writer->file_);
  }
  return writer;
}

void free_file_writer(XoltLogFileWriter* writer) noexcept {
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

}  // namespace xoltlog
