// The body of xoltlog show: reads files record by record, filters by time
// and expression, renders, and writes standard output in large chunks;
// when following, keeps the newest file of every series open and moves on
// to the next one when the writer rolls over.
#pragma once

#include <signal.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "cli/show_file.h"
#include "cli/show_render.h"
#include "cli/where.h"

namespace xoltlog::tool {

class Shower {
 public:
  // since_ms, until_ms: milliseconds since 1970 UTC, both ends included.
  Shower(bool json, std::optional<std::int64_t> since_ms, std::optional<std::int64_t> until_ms);
  ~Shower();
  Shower(const Shower&) = delete;
  Shower& operator=(const Shower&) = delete;

  // active: the expression is not empty, so every record is tested.
  void set_query(WhereQuery query, bool active);
  // Shows the records of the file; keep: it stays open as the newest file
  // of its series, for follow().
  void show_file(const std::string& path, const std::string& logset, bool keep);
  // Shows what is appended until stop is set or standard output is closed.
  void follow(volatile sig_atomic_t& stop);
  // Writes what is buffered; throws ToolError when a file could not be read.
  void finish();
  bool closed() const { return closed_; }

 private:
  struct Tail {
    std::string directory;  // with its trailing '/', or empty
    std::string prefix;     // the series' name prefix; empty: this file alone
    std::string path;       // the file named first
    std::string logset;
    std::string newest;     // name of the newest file of the series known
    std::unique_ptr<RecordFile> file;  // being read; null while its header is missing
    std::deque<std::unique_ptr<RecordFile>> queued;  // newer files, open, oldest first
  };

  bool drain(RecordFile& file, bool at_rest);
  void show_record(RecordFile& file);
  bool advance(Tail& tail);
  void queue_newer(Tail& tail);
  void report(const std::string& path, const std::string& problem);
  void flush();

  Renderer renderer_;
  MessageText message_text_;
  WhereQuery query_;
  bool filtering_ = false;
  std::optional<std::int64_t> since_ms_;
  std::optional<std::int64_t> until_ms_;
  OutputBuffer out_;
  bool closed_ = false;
  int unreadable_ = 0;
  std::map<std::string, Tail> tails_;
};

}  // namespace xoltlog::tool
