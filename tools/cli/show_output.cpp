#include "cli/show_output.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <iostream>

#include "cli/tool_error.h"

namespace xoltlog::tool {
namespace {

constexpr std::size_t kFlushSize = 1 << 20;
constexpr int kPollMilliseconds = 200;

// Wakes the follower as soon as a file in a followed directory is created,
// written or removed (inotify), so that a file recycling deletes soon after
// the writer moved on is opened in time; without inotify, or when nothing
// happens, every poll interval.
class DirectoryWatch {
 public:
  DirectoryWatch() : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
  ~DirectoryWatch() {
    if (fd_ >= 0) close(fd_);
  }
  DirectoryWatch(const DirectoryWatch&) = delete;
  DirectoryWatch& operator=(const DirectoryWatch&) = delete;

  void add(const std::string& directory) {
    if (fd_ >= 0) inotify_add_watch(fd_, directory.c_str(), IN_CREATE | IN_MODIFY | IN_MOVED_TO);
  }
  // Returns after an event or milliseconds; the events themselves do not
  // matter, the follower looks at its files again either way.
  void wait(int milliseconds) {
    if (fd_ < 0) {
      const timespec pause{0, milliseconds * 1'000'000L};
      nanosleep(&pause, nullptr);
      return;
    }
    pollfd ready{fd_, POLLIN, 0};
    if (poll(&ready, 1, milliseconds) > 0) {
      alignas(inotify_event) char events[4096];
      while (read(fd_, events, sizeof events) > 0) {
      }
    }
  }

 private:
  int fd_;
};

std::string directory_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

RecordFields fields_of(const RecordView& view, const ShownFile& file, std::string_view text) {
  RecordFields fields;
  fields.kind = static_cast<RecordKind>(view.type);
  if (view.type == XOLTLOG_MSG_APP) fields.severity = static_cast<std::uint32_t>(view.number);
  if (view.type == XOLTLOG_MSG_DEBUG || view.type == XOLTLOG_MSG_DIAG) {
    fields.level = static_cast<std::uint32_t>(view.number);
  }
  fields.who = view.who;
  fields.text = text;
  fields.context = view.context;
  fields.pid = view.pid;
  fields.tid = view.tid;
  fields.time = view.timestamp_ms / 1000 - (view.timestamp_ms % 1000 < 0 ? 1 : 0);
  fields.product = view.product != 0 ? view.product : file.product;
  fields.originator = view.originator;
  fields.host = file.host;
  fields.logset = file.logset;
  return fields;
}

}  // namespace

Shower::Shower(bool json, std::optional<std::int64_t> since_ms,
               std::optional<std::int64_t> until_ms)
    : renderer_(json), since_ms_(since_ms), until_ms_(until_ms) {
  out_.reserve(kFlushSize + kFlushSize / 4);
}

Shower::~Shower() = default;

void Shower::set_query(WhereQuery query, bool active) {
  query_ = std::move(query);
  filtering_ = active;
}

void Shower::show_record(RecordFile& file) {
  const RecordView& view = file.view();
  if ((since_ms_ && view.timestamp_ms < *since_ms_) ||
      (until_ms_ && view.timestamp_ms > *until_ms_)) {
    return;
  }
  const std::string_view text = message_text_.of(view, file.parsed(), file.line());
  if (filtering_ && !query_.matches(fields_of(view, file.info(), text))) return;
  renderer_.record(file.info(), file.line_number(), view, text, out_);
}

// Shows every complete line the file holds now; at_rest: the file is not
// followed any more, so a last line without its line feed is shown as
// damaged. True when a line was read.
bool Shower::drain(RecordFile& file, bool at_rest) {
  bool any = false;
  while (!closed_) {
    const RecordFile::Step step = file.next();
    if (step == RecordFile::Step::kEnd) break;
    if (step == RecordFile::Step::kFailed) {
      report(file.info().path, "reading failed");
      break;
    }
    any = true;
    if (step == RecordFile::Step::kRecord) {
      show_record(file);
    } else {
      renderer_.damaged(file.info(), file.line_number(), file.line(), file.damage().reason,
                        file.damage().offset, out_);
    }
    if (out_.size() >= kFlushSize) flush();
  }
  if (at_rest && file.holds_partial_line()) {
    renderer_.damaged(file.info(), file.line_number() + 1, {},
                      "incomplete last line (no line end)", 0, out_);
  }
  return any;
}

void Shower::report(const std::string& path, const std::string& problem) {
  ++unreadable_;
  flush();
  std::cerr << "xoltlog: " << path << ": " << problem << std::endl;
}

void Shower::show_file(const std::string& path, const std::string& logset, bool keep) {
  auto file = std::make_unique<RecordFile>(path, logset);
  const std::string directory = directory_of(path);
  const std::string prefix = series_prefix(file->name());
  if (!file->ok() && !(keep && file->header_missing())) {
    report(path, file->problem());
    return;
  }
  if (file->ok()) drain(*file, !keep);
  if (!keep) return;
  Tail& tail = tails_[prefix.empty() ? path : directory + prefix];
  tail = Tail{directory, prefix, path, logset, file->name(), nullptr, {}};
  if (file->ok()) tail.file = std::move(file);
}

// Opens the files of the series newer than any known, oldest first, and
// queues them: once open, a file stays readable to its end even when
// recycling deletes it before its turn. A file whose header is not written
// yet is tried again next round.
void Shower::queue_newer(Tail& tail) {
  if (tail.prefix.empty()) return;
  for (const std::string& name : newer_in_series(tail.directory, tail.prefix, tail.newest)) {
    auto file = std::make_unique<RecordFile>(tail.directory + name, tail.logset);
    if (!file->ok()) {
      if (file->header_missing()) return;
      report(tail.directory + name, file->problem());
    } else {
      tail.queued.push_back(std::move(file));
    }
    tail.newest = name;
  }
}

// One round of following a series: what was appended, then the next file
// once the writer has moved on to it. True when anything was read.
bool Shower::advance(Tail& tail) {
  if (!tail.file && tail.queued.empty()) {
    // The first file had no header yet when it was named.
    auto file = std::make_unique<RecordFile>(tail.path, tail.logset);
    if (file->ok()) tail.file = std::move(file);
  }
  if (tail.file && drain(*tail.file, false)) return true;
  queue_newer(tail);
  if (tail.queued.empty()) return false;
  // The writer finishes a file before it starts the next: what the old one
  // got in the meantime comes first.
  if (tail.file) drain(*tail.file, true);
  tail.file = std::move(tail.queued.front());
  tail.queued.pop_front();
  return true;
}

void Shower::follow(volatile sig_atomic_t& stop) {
  flush();
  DirectoryWatch watch;
  for (const auto& [key, tail] : tails_) watch.add(tail.directory.empty() ? "." : tail.directory);
  while (stop == 0 && !closed_) {
    bool progress = false;
    for (auto& [key, tail] : tails_) progress = advance(tail) || progress;
    flush();
    if (!progress && stop == 0) watch.wait(kPollMilliseconds);  // a signal ends it early
  }
}

void Shower::flush() {
  const std::string_view content = out_.content();
  std::size_t done = 0;
  while (!closed_ && done < content.size()) {
    const ssize_t written = write(STDOUT_FILENO, content.data() + done, content.size() - done);
    if (written > 0) {
      done += static_cast<std::size_t>(written);
    } else if (written < 0 && errno != EINTR) {
      closed_ = true;  // EPIPE: nobody reads any more; other errors alike
    }
  }
  out_.clear();
}

void Shower::finish() {
  flush();
  if (unreadable_ > 0) {
    throw ToolError(ExitCode::kFiles,
                    std::to_string(unreadable_) + " log file(s) could not be read completely",
                    "check that they exist and that you may read them");
  }
}

}  // namespace xoltlog::tool
