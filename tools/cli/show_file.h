// One log file read record by record for xoltlog show: its header through
// the library's ReadHeaderEx, its lines in large blocks (LineReader), plain
// records scanned in place and every other line through the library's
// record parser (xoltLogMsgParse). A line the writer has not finished yet
// is kept and completed by a later read, which is what following a file
// needs.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/show_lines.h"
#include "cli/show_render.h"
#include "cli/show_scan.h"
#include "xoltlog/xoltlog.h"

namespace xoltlog::tool {

class RecordFile {
 public:
  enum class Step {
    kRecord,   // view() holds the next record, line() its line
    kDamaged,  // line() is not a record line; damage() says why
    kEnd,      // no complete line more for now
    kFailed,   // reading failed
  };

  // Opens path for reading and reads its header. On failure, problem()
  // says why and the file has nothing to read.
  RecordFile(std::string path, std::string logset_name);
  ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  bool ok() const { return problem_.empty(); }
  const std::string& problem() const { return problem_; }
  // True when the header line itself was not there yet (a file just
  // created): worth trying again later.
  bool header_missing() const { return header_missing_; }

  Step next();
  const RecordView& view() const { return view_; }
  // The record as xoltLogMsgParse filled it; null for a plain record the
  // tool scanned itself.
  const XoltLogMsg* parsed() const { return msg_filled_ ? &msg_ : nullptr; }
  std::string_view line() const { return line_; }
  std::uint64_t line_number() const { return line_number_; }
  const XoltLogParseError& damage() const { return damage_; }
  // Bytes of a last line without its line feed, read and held back.
  bool holds_partial_line() const { return lines_ && lines_->held() > 0; }

  const ShownFile& info() const { return info_; }
  const std::string& name() const { return name_; }
  // The file's identity when it was opened; the path may name another
  // file (or none) later.
  dev_t device() const { return device_; }
  ino_t inode() const { return inode_; }

 private:
  void release_record();
  std::unique_ptr<XoltLogFileContext> context_;
  std::unique_ptr<LineReader> lines_;  // null until the header was read
  XoltLogMsg msg_{};
  RecordView view_;
  bool msg_filled_ = false;
  std::string_view line_;
  std::uint64_t line_number_ = 1;  // the header's
  XoltLogParseError damage_{};
  ShownFile info_;
  std::string name_;
  std::string problem_;
  bool header_missing_ = false;
  dev_t device_ = 0;
  ino_t inode_ = 0;
};

// The part of a log file name that every file of its writer shares:
// "12-3-1-" of "12-3-1-260310-0000000000.log", "12-nightly-" of a logset
// file; empty for a name of neither form.
std::string series_prefix(std::string_view name);

// The files of the series in directory (empty: the current directory)
// whose names sort after name, in order: names of a series sort in the
// order they were started.
std::vector<std::string> newer_in_series(const std::string& directory, const std::string& prefix,
                                         const std::string& name);

}  // namespace xoltlog::tool
