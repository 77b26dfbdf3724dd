#include "access/header_reader.h"

#include "access/record_reader.h"
#include "message/text_buffer.h"
#include "logfile/header_line.h"
#include "xoltlog/result.h"

namespace xoltlog {
namespace {

// The text buffer a header line is read into, released on every way out.
class LineBuffer {
 public:
  LineBuffer() noexcept { init_text_buffer(buffer_); }
  ~LineBuffer() { free_text_buffer(buffer_); }
  LineBuffer(const LineBuffer&) = delete;
  LineBuffer& operator=(const LineBuffer&) = delete;

  XoltLogTextMsg& get() noexcept { return buffer_; }
  // Read into a fresh buffer, the line starts the storage.
  const char* line() const noexcept { return buffer_.storage; }

 private:
  XoltLogTextMsg buffer_;
};

void clear(XoltLogHeader& header) noexcept { header = XoltLogHeader{}; }

// Reads the first line and parses it into header; when entry is given, the
// header is cleared only once there is a line, and the entry follows it.
std::uint32_t read_header(XoltLogFileContext& file, XoltLogHeader& header,
                          XoltLogFileEntry* entry) noexcept {
  // Whatever was buffered belongs to an earlier position of the file.
  file.read_position = -1;
  LineBuffer buffer;
  if (read_record(file, buffer.get()) != 1) {
    return XOLTLOG_E_FAILED;
  }
  if (entry != nullptr) {
    clear(header);
    entry->header_tz_offset = -1;
  }
  header.tz_offset = -1;
  const std::uint32_t result = parse_header_line(buffer.line(), header);
  if (result == XOLTLOG_OK && entry != nullptr) {
    entry->header_version = header.version;
    if (header.version == XOLTLOG_HEADER_VERSION ||
        header.version == XOLTLOG_HEADER_VERSION_LOGSET) {
      entry->header_tz_offset = header.tz_offset;
    }
  }
  return result;
}

}  // namespace

std::uint32_t read_file_header(XoltLogFileContext& file, XoltLogHeader& header) noexcept {
  clear(header);
  return read_header(file, header, nullptr);
}

std::uint32_t read_entry_header(XoltLogFileEntry& entry, XoltLogHeader& header) noexcept {
  return read_header(entry.file, header, &entry);
}

}  // namespace xoltlog
