#include "access/record_reader.h"

#include <cstring>

#include "message/text_buffer.h"
#include "platform/file_primitives.h"

namespace xoltlog {
namespace {

constexpr std::int32_t kReadBufferSize = XOLTLOG_READ_BUFFER_SIZE;

bool has_unread_bytes(const XoltLogFileContext& file) noexcept {
  return file.read_position >= 0 && file.bytes_in_buffer <= kReadBufferSize &&
         file.read_position < file.bytes_in_buffer;
}

// 1 when bytes came, else the read's 0 (end of file) or -1.
std::int32_t refill(XoltLogFileContext& file) noexcept {
  const std::int32_t got =
      platform::file_read(file, file.read_buffer, static_cast<std::uint32_t>(kReadBufferSize));
  return got > 0 ? 1 : got;
}

// The writer turned line feeds inside records into carriage returns so that
// each record stays one line; this turns them back.
void restore_line_feeds(char* bytes, std::size_t count) noexcept {
  char* const end = bytes + count;
  for (char* at = bytes; at < end; ++at) {
    at = static_cast<char*>(std::memchr(at, '\r', static_cast<std::size_t>(end - at)));
    if (at == nullptr) {
      return;
    }
    *at = '\n';
  }
}

// Moves count unread bytes into the text buffer; where they landed, or null
// when the buffer could not grow.
char* take_bytes(XoltLogFileContext& file, XoltLogTextMsg& buffer, std::int32_t count) noexcept {
  const auto size = static_cast<std::size_t>(count);
  char* slot = reserve_text(buffer, size);
  if (slot == nullptr) {
    return nullptr;
  }
  std::memcpy(slot, file.read_buffer + file.read_position, size);
  restore_line_feeds(slot, size);
  file.read_position += count;
  return slot;
}

}  // namespace

std::int32_t read_record(XoltLogFileContext& file, XoltLogTextMsg& buffer) noexcept {
  if (!has_unread_bytes(file)) {
    if (const std::int32_t filled = refill(file); filled != 1) {
      return filled;
    }
  }
  for (;;) {
    const char* start = file.read_buffer + file.read_position;
    const auto unread = static_cast<std::size_t>(file.bytes_in_buffer - file.read_position);
    if (const void* feed = std::memchr(start, '\n', unread); feed != nullptr) {
      const auto count = static_cast<std::int32_t>(static_cast<const char*>(feed) - start + 1);
      char* line = take_bytes(file, buffer, count);
      if (line == nullptr) {
        return -1;
      }
      line[count - 1] = '\0';
      return 1;
    }
    // A line that goes on past the buffered bytes is kept piece by piece;
    // the pieces stand one behind the other, so it comes out whole.
    if (take_bytes(file, buffer, file.bytes_in_buffer - file.read_position) == nullptr) {
      return -1;
    }
    if (const std::int32_t filled = refill(file); filled != 1) {
      return filled;
    }
  }
}

}  // namespace xoltlog
