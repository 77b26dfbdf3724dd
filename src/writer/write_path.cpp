#include "writer/write_path.h"

#include "message/record_serializer.h"
#include "message/text_buffer.h"
#include "platform/clock.h"
#include "platform/disk_full.h"
#include "writer/file_start.h"
#include "writer/recycle.h"
#include "writer/writer_hooks.h"
#include "writer/writer_open.h"
#include "writer/writer_state.h"
#include "xoltlog/access.h"

namespace xoltlog {
namespace {

constexpr std::int64_t kReopenAfterMs = 600000;
// A file deleted by someone outside the library is noticed by its link
// count, looked at no more than once per second of message time.
constexpr std::int64_t kRemovalCheckMs = 1000;
constexpr std::uint32_t kAppendDeleted = UINT32_MAX;
constexpr std::uint32_t kFirstInvalidMode = 6;
// A new file that is itself full is left for the next one only so often; a
// logset name repeats within one second, and the writer must not spin
// through that second.
constexpr int kMaxRolloverStarts = 16;
// The file a writer goes on in after a deletion can itself be deleted by
// another process's recycling before the record is in it; the writer
// follows the series that many times before the record counts as failed.
constexpr int kMaxDeletedFollows = 4;

std::uint32_t own_version(const XoltLogFileWriter& writer) noexcept {
  return writer.logset_mode_ != 0 ? XOLTLOG_HEADER_VERSION_LOGSET : XOLTLOG_HEADER_VERSION;
}

bool size_known(XoltLogFileWriter& writer, std::uint64_t& size) noexcept {
  if (writer.identity_known_ && platform::tracked_file_size(writer.file_, writer.identity_, size)) {
    return true;
  }
  return writer.file_.file != 0 && platform::file_size(writer.file_, size) == 0;
}

// The rules that a file just started can break as well: a foreign header
// version, or a size already at the limit.
bool format_or_size_due(XoltLogFileWriter& writer, std::uint64_t pending) noexcept {
  if (writer.header_version_ != own_version(writer)) {
    return true;
  }
  if (writer.rollover_mode_ >= kFirstInvalidMode) {
    writer.rollover_mode_ = XOLTLOG_ROLLOVER_NONE;
    return false;
  }
  std::uint64_t size = 0;
  return (writer.rollover_mode_ & XOLTLOG_ROLLOVER_FILE_SIZE) != 0 && writer.max_size_kb_ != 0 &&
         size_known(writer, size) && (size + pending) / 1024 >= writer.max_size_kb_;
}

bool time_due(const XoltLogFileWriter& writer) noexcept {
  const std::uint32_t timed = XOLTLOG_ROLLOVER_LOCAL_TIME | XOLTLOG_ROLLOVER_PERIODIC;
  return (writer.rollover_mode_ & timed) != 0 &&
         platform::wall_clock_now().seconds >= writer.next_rollover_time_;
}

void rewrite_contexts(const LibraryLockGuard& held, XoltLogFileWriter& writer) noexcept {
  if (writer.logset_mode_ == 0 && writer_hooks().rewrite_contexts != nullptr) {
    writer_hooks().rewrite_contexts(held, writer);
  }
}

// Each next file is planned before the current one is left. Only a new file
// that is full or foreign already is left again at once: a time rule never
// starts more than one file per record, whatever the settings say.
void roll_over(const LibraryLockGuard& held, XoltLogFileWriter& writer) {
  for (int start = 0; start < kMaxRolloverStarts; ++start) {
    FilePlan plan;
    const std::uint32_t planned = plan_file(held, writer, nullptr, NextName::kAdvance, plan);
    close_current_file(held, writer);
    if (planned != XOLTLOG_OK || open_planned_file(held, writer, plan) != XOLTLOG_OK ||
        !format_or_size_due(writer, 0)) {
      break;
    }
  }
  if (writer.recycle_ != 0) {
    recycle(held, writer);
  }
}

void reopen(const LibraryLockGuard& held, XoltLogFileWriter& writer) {
  const std::int64_t previous_start = writer.file_start_time_;
  FilePlan plan;
  const std::uint32_t planned = plan_file(held, writer, nullptr, NextName::kSameDaySame, plan);
  close_current_file(held, writer);
  if (planned == XOLTLOG_OK) {
    open_planned_file(held, writer, plan);
  }
  if (writer.file_start_time_ != previous_start) {
    rewrite_contexts(held, writer);
  }
}

// The current file has no name left: records written to it would be seen
// by nobody, so the writer goes on in the series' latest file, or a new
// one.
void continue_after_deletion(const LibraryLockGuard& held, XoltLogFileWriter& writer) {
  const std::int64_t previous_start = writer.file_start_time_;
  close_current_file(held, writer);
  start_latest_or_new(held, writer);
  if (writer.file_start_time_ != previous_start) {
    rewrite_contexts(held, writer);
  }
}

bool elapsed(std::int64_t since_ms, std::int64_t now_ms, std::int64_t interval_ms) noexcept {
  // Compared without a subtraction that could overflow on odd timestamps.
  return now_ms > since_ms &&
         static_cast<std::uint64_t>(now_ms) - static_cast<std::uint64_t>(since_ms) >
             static_cast<std::uint64_t>(interval_ms);
}

void check_removal(const LibraryLockGuard& held, XoltLogFileWriter& writer, const XoltLogMsg& msg) {
  if (!elapsed(writer.removal_check_ms_, msg.timestamp_ms, kRemovalCheckMs - 1)) {
    return;
  }
  writer.removal_check_ms_ = msg.timestamp_ms;
  if (platform::file_removed(writer.file_)) {
    continue_after_deletion(held, writer);
  }
}

bool reopen_due(const XoltLogFileWriter& writer, const XoltLogMsg& msg) noexcept {
  return writer.reopen_mark_ms_ != 0 &&
         elapsed(writer.reopen_mark_ms_, msg.timestamp_ms, kReopenAfterMs);
}

void check_rollover_and_reopen(const LibraryLockGuard& held, XoltLogFileWriter& writer,
                               const XoltLogMsg& msg, std::uint64_t pending) {
  check_removal(held, writer, msg);
  if (format_or_size_due(writer, pending) || time_due(writer)) {
    roll_over(held, writer);
    rewrite_contexts(held, writer);
  }
  if (reopen_due(writer, msg)) {
    reopen(held, writer);
    writer.reopen_mark_ms_ = msg.timestamp_ms;
  }
}

std::uint32_t append(XoltLogFileWriter& writer, const XoltLogTextMsg& line) noexcept {
  const std::string_view bytes = text_content(line);
  const auto count = static_cast<std::uint32_t>(bytes.size());
  const std::int32_t written =
      writer.identity_known_
          ? platform::file_append_tracked(writer.file_, writer.identity_, bytes.data(), count)
          : platform::file_append(writer.file_, bytes.data(), count);
  if (written >= 0) {
    return XOLTLOG_OK;
  }
  if (written == platform::kFileDeleted) {
    return kAppendDeleted;
  }
  return platform::disk_full_indication() != 0 ? XOLTLOG_E_DISK_FULL : XOLTLOG_E_APPEND;
}

// Releases the line's heap block on every way out, an exception included.
class LineBuffer {
 public:
  LineBuffer() noexcept { init_text_buffer(line_); }
  ~LineBuffer() { free_text_buffer(line_); }
  LineBuffer(const LineBuffer&) = delete;
  LineBuffer& operator=(const LineBuffer&) = delete;
  XoltLogTextMsg& get() noexcept { return line_; }

 private:
  XoltLogTextMsg line_;
};

}  // namespace

std::uint32_t write_record(const LibraryLockGuard& held, XoltLogFileWriter* writer, XoltLogMsg* msg,
                           bool check_rollover) {
  if (writer == nullptr) {
    return XOLTLOG_E_NO_WRITER;
  }
  if (msg == nullptr) {
    return XOLTLOG_E_FAILED;
  }
  msg->record_version = own_version(*writer);
  msg->file_originator = writer->originator_id_;
  LineBuffer line;
  if (const std::uint32_t result = serialize_record(*msg, line.get()); result != XOLTLOG_OK) {
    return result;
  }
  if (check_rollover) {
    check_rollover_and_reopen(held, *writer, *msg, text_size(line.get()));
  }
  std::uint32_t result = append(*writer, line.get());
  for (int follow = 0; result == kAppendDeleted && follow < kMaxDeletedFollows; ++follow) {
    continue_after_deletion(held, *writer);
    result = append(*writer, line.get());
  }
  return result == kAppendDeleted ? std::uint32_t{XOLTLOG_E_APPEND} : result;
}

}  // namespace xoltlog
