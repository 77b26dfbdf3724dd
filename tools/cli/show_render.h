// How xoltlog show puts a record on its output: one line for a person, or
// one JSON object per line for a collector. Both append to a buffer the
// caller writes out in large chunks, and reuse their scratch space, so a
// record costs no allocation once the first few have been shown.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "xoltlog/xoltlog.h"

namespace xoltlog::tool {

// What a record takes from the file it was read from.
struct ShownFile {
  std::string path;
  std::string host;                // from the header; empty when it names none
  std::uint32_t product = 0;       // from the name: logset records carry none
  std::string logset;              // the logset's name; empty for ordinary files
  std::uint32_t record_version = 0;
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

  // The record's text; line is the record line it was read from.
  std::string_view of(const XoltLogMsg& msg, std::string_view line);

 private:
  void* module_ = nullptr;
  void* format_ = nullptr;
  std::string scratch_;
};

// The argument list "(id|...)" at the end of a record line of the given
// version and message type; empty when the line has none (debug records).
std::string_view argument_list(std::string_view line, std::uint32_t version, std::uint32_t type);

// The record kind's name ("application", ...), as JSON's "kind".
std::string_view kind_name(std::uint32_t type);

class Renderer {
 public:
  explicit Renderer(bool json);
  ~Renderer();
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  // Appends the record, read from line number line_number of file.
  void record(const ShownFile& file, std::uint64_t line_number, const XoltLogMsg& msg,
              std::string_view message, std::string& out);
  // Appends a line that is not a record: the file, its line number, why,
  // and (JSON) the line's bytes.
  void damaged(const ShownFile& file, std::uint64_t line_number, std::string_view line,
               std::string_view reason, std::uint64_t offset, std::string& out);

  struct Json;

 private:
  void text_record(const ShownFile& file, const XoltLogMsg& msg, std::string_view message,
                   std::string& out);
  bool json_;
  std::unique_ptr<Json> json_state_;
  std::int64_t cached_second_ = INT64_MIN;
  std::string cached_time_;  // the cached second, without milliseconds
  std::string cached_zone_;  // its offset, "+01:00" (JSON) or "+0100" (text)
  std::string label_;
};

}  // namespace xoltlog::tool
