// The record lines of a log file for xoltlog show, read in large blocks
// through the library's xoltLogOs_read and cut at their line feeds in
// place: a line costs a memchr, not a copy. The lines come out as
// readrecord delivers them (line feeds the writer kept as carriage returns
// restored, NUL in place of the line end), and a last line without its line
// feed is held back until a later read completes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "xoltlog/xoltlog.h"

namespace xoltlog::tool {

class LineReader {
 public:
  enum class Result { kLine, kEnd, kFailed };

  // context: open for reading, its header read (ReadHeaderEx); the bytes
  // still in its read buffer come first. It must outlive the reader.
  explicit LineReader(XoltLogFileContext& context);

  // The next complete line, without its line feed, in line; valid until
  // the next call. kEnd: no complete line more for now.
  Result next(std::string_view& line);
  // True when the line next() gave last holds a NUL byte.
  bool line_holds_nul() const { return line_holds_nul_; }
  // Bytes of an incomplete last line read and held back.
  std::size_t held() const { return end_ - begin_; }

 private:
  // Reads more bytes behind the held ones: kLine when some came.
  Result fill();
  std::size_t next_of(char byte, std::size_t& cached, std::size_t from) const;
  XoltLogFileContext& context_;
  bool context_bytes_taken_ = false;
  std::unique_ptr<char[]> data_;
  std::size_t capacity_ = 0;
  std::size_t begin_ = 0;    // the next line's first byte
  std::size_t scanned_ = 0;  // bytes from begin_ on known to hold no line feed
  std::size_t end_ = 0;      // end of the bytes read
  // Where the next carriage return and NUL stand in the bytes read, from
  // one memchr over the whole block, not one per line; kUnknown after a
  // read, end_ for none.
  static constexpr std::size_t kUnknown = SIZE_MAX;
  std::size_t next_return_ = kUnknown;
  std::size_t next_nul_ = kUnknown;
  bool line_holds_nul_ = false;
};

}  // namespace xoltlog::tool
