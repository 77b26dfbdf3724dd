#include "cli/show_lines.h"

#include <algorithm>
#include <cstring>

namespace xoltlog::tool {
namespace {

// One read asks for this much at most; a line longer than the buffer grows
// it.
constexpr std::size_t kBlockSize = 1 << 17;

}  // namespace

LineReader::LineReader(XoltLogFileContext& context) : context_(context) {}

LineReader::Result LineReader::next(std::string_view& line) {
  for (;;) {
    char* const start = data_.get() + begin_;
    char* const feed =
        end_ - begin_ > scanned_
            ? static_cast<char*>(std::memchr(start + scanned_, '\n', end_ - begin_ - scanned_))
            : nullptr;
    if (feed != nullptr) {
      const auto line_end = static_cast<std::size_t>(feed - data_.get());
      line_holds_nul_ = next_of('\0', next_nul_, begin_) < line_end;
      // The writer turned line feeds inside records into carriage returns
      // so that each record stays one line; they are turned back.
      for (std::size_t at = next_of('\r', next_return_, begin_); at < line_end;
           at = next_of('\r', next_return_, at + 1)) {
        data_[at] = '\n';
      }
      *feed = '\0';
      line = std::string_view(start, line_end - begin_);
      begin_ = line_end + 1;
      scanned_ = 0;
      return Result::kLine;
    }
    scanned_ = end_ - begin_;
    if (const Result filled = fill(); filled != Result::kLine) return filled;
  }
}

std::size_t LineReader::next_of(char byte, std::size_t& cached, std::size_t from) const {
  if (cached == kUnknown || cached < from) {
    const void* found = std::memchr(data_.get() + from, byte, end_ - from);
    cached = found == nullptr
                 ? end_
                 : static_cast<std::size_t>(static_cast<const char*>(found) - data_.get());
  }
  return cached;
}

LineReader::Result LineReader::fill() {
  next_return_ = next_nul_ = kUnknown;
  // The held part of a line moves to the front; a buffer it fills doubles.
  if (begin_ > 0) {
    std::memmove(data_.get(), data_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (capacity_ - end_ < kBlockSize / 2) {
    const std::size_t capacity = std::max(2 * capacity_, kBlockSize);
    auto grown = std::make_unique_for_overwrite<char[]>(capacity);
    if (end_ > 0) std::memcpy(grown.get(), data_.get(), end_);
    data_ = std::move(grown);
    capacity_ = capacity;
  }
  if (!context_bytes_taken_) {
    // What ReadHeaderEx read beyond the header line.
    context_bytes_taken_ = true;
    const std::int32_t position = context_.read_position;
    const std::int32_t count = context_.bytes_in_buffer;
    if (position >= 0 && position < count && count <= XOLTLOG_READ_BUFFER_SIZE) {
      const auto size = static_cast<std::size_t>(count - position);
      std::memcpy(data_.get() + end_, context_.read_buffer + position, size);
      end_ += size;
      return Result::kLine;
    }
  }
  const std::size_t room = std::min(capacity_ - end_, kBlockSize);
  const std::int32_t got =
      xoltLogOs_read(&context_, data_.get() + end_, static_cast<std::uint32_t>(room));
  if (got < 0) return Result::kFailed;
  if (got == 0) return Result::kEnd;
  end_ += static_cast<std::size_t>(got);
  return Result::kLine;
}

}  // namespace xoltlog::tool
