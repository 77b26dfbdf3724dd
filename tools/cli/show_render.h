// How xoltlog show puts a record on its output: one line for a person, or
// one JSON object per line for a collector. Both write into one output
// buffer through a raw cursor, after reserving the most a record can take,
// and reuse their scratch space, so a record costs no allocation.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "cli/show_scan.h"
#include "xoltlog/xoltlog.h"

namespace xoltlog::tool {

// What a record takes from the file it was read from.
struct ShownFile {
  std::string path;
  std::string host;                // from the header; empty when it names none
  std::uint32_t product = 0;       // from the name: logset records carry none
  std::string logset;              // the logset's name; empty for ordinary files
  std::uint32_t record_version = 0;
  // The constant part of every JSON object of this file, its path and host
  // already escaped (prepare_json_fields).
  std::string json_fields;
};

// Fills file.json_fields from its path, host and logset.
void prepare_json_fields(ShownFile& file);

// Bytes waiting for standard output.
class OutputBuffer {
 public:
  // A cursor with room for at least count bytes; commit() what was written.
  char* reserve(std::size_t count);
  void commit(const char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }
  std::string_view content() const { return {data_.get(), size_}; }
  void clear() { size_ = 0; }
  std::size_t size() const { return size_; }

 private:
  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

// Renders catalog messages through the formatting library when it can be
// loaded; otherwise (or when it fails) a catalog message shows as the
// argument list of its line, "(id|args)". Never fails.
class MessageText {
 public:
  MessageText();
  ~MessageText();
  MessageText(const MessageText&) = delete;
  MessageText& operator=(const MessageText&) = delete;

  // The record's text. parsed: the record as xoltLogMsgParse filled it
  // (always there for a catalog message); line: the line it was read from.
  std::string_view of(const RecordView& view, const XoltLogMsg* parsed, std::string_view line);

 private:
  void* module_ = nullptr;
  void* format_ = nullptr;
  std::string scratch_;
};

// The argument list "(id|...)" at the end of a record line of the given
// version and message type; empty when the line has none (debug records).
std::string_view argument_list(std::string_view line, std::uint32_t version, std::uint32_t type);

// Length of the well-formed UTF-8 sequence at text[0] (overlong forms,
// surrogates and values above U+10FFFF are not); 0 when it is none.
std::size_t utf8_sequence_length(std::string_view text);

// Writes text at out as a JSON string, quotes included, and returns the end;
// out must have room for 6 bytes per byte of text and 2 more. Bytes that
// are not UTF-8 become U+FFFD, so the output is valid JSON whatever a file
// holds.
char* put_json_string(char* out, std::string_view text);

class Renderer {
 public:
  explicit Renderer(bool json) : json_(json) {}

  // Appends the record, read from line number line_number of file.
  void record(const ShownFile& file, std::uint64_t line_number, const RecordView& view,
              std::string_view message, OutputBuffer& out);
  // Appends a line that is not a record: the file, its line number, why,
  // and (JSON) the line's bytes.
  void damaged(const ShownFile& file, std::uint64_t line_number, std::string_view line,
               std::string_view reason, std::uint64_t offset, OutputBuffer& out) const;

 private:
  // Write at out and return the end; the time stands in time_.
  char* text_record(char* out, const ShownFile& file, const RecordView& view,
                    std::string_view message) const;
  char* json_record(char* out, const ShownFile& file, std::uint64_t line_number,
                    const RecordView& view, std::string_view message) const;
  bool json_;
  std::int64_t cached_second_ = INT64_MIN;
  std::string cached_time_;  // the cached second, without milliseconds
  std::string cached_zone_;  // its offset, "+01:00" (JSON) or "+0100" (text)
  char time_[64] = {};       // the record's time with milliseconds and zone
  std::size_t time_size_ = 0;
};

}  // namespace xoltlog::tool
