#include "writer/write_path.h"

#include "message/record_serializer.h"
#include "message/text_buffer.h"
#include "platform/clock.h"
#include "platform/disk_full.h"
#include "writer/file_start.h"
#include "writer/writer_hooks.h"
#include "xoltlog/access.h"

namespace xoltlog {
namespace {

constexpr std::int64_t kReopenAfterMs = 600000;
constexpr std::uint32_t kFirstInvalidMode = 6;
// A new file that is already due again is left for the next one only so
// often; a logset name repeats within one second, and the writer must not
// spin through that second.
constexpr int kMaxRolloverStarts = 16;

std::uint32_t own_version(const XoltLogFileWriter& writer) noexcept {
  return writer.logset_mode_ != 0 ? XOLTLOG_HEADER_VERSION_LOGSET : XOLTLOG_HEADER_VERSION;
}

bool size_known(XoltLogFileWriter& writer, std::uint64_t& size) noexcept {
  if (writer.identity_known_ &&
      platform::tracked_file_size(writer.file_, writer.identity_, size)) {
    return true;
  }
  return writer.file_.file != 0 && platform::file_size(writer.file_, size) == 0;
}

void rewrite_contexts(XoltLogFileWriter& writer) noexcept {
  if (writer.logset_mode_ == 0 && writer_hooks().rewrite_contexts != nullptr) {
    writer_hooks().rewrite_contexts(writer);
  }
}

void roll_over(XoltLogFileWriter& writer) noexcept {
  for (int start = 0; start < kMaxRolloverStarts; ++start) {
    close_current_file(writer);
    if (start_file(writer, nullptr) != XOLTLOG_OK || !rollover_due(writer, 0)) {
      break;
    }
  }
  if (writer.recycle_ != 0 && writer_hooks().recycle != nullptr) {
    writer_hooks().recycle(writer);
  }
}

void reopen(XoltLogFileWriter& writer) noexcept {
  const std::int64_t previous_start = writer.file_start_time_;
  close_current_file(writer);
  // The same local day then rebuilds the same ordinary name.
  --writer.day_counter_;
  start_file(writer, nullptr);
  if (writer.file_start_time_ != previous_start) {
    rewrite_contexts(writer);
  }
}

void check_rollover_and_reopen(XoltLogFileWriter& writer, const XoltLogMsg& msg,
                               std::uint64_t pending) noexcept {
  if (rollover_due(writer, pending)) {
    roll_over(writer);
    rewrite_contexts(writer);
  }
  if (writer.reopen_mark_ms_ != 0 && msg.timestamp_ms - writer.reopen_mark_ms_ > kReopenAfterMs) {
    reopen(writer);
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
  return platform::disk_full_indication() != 0 ? XOLTLOG_E_DISK_FULL : XOLTLOG_E_APPEND;
}

}  // namespace

bool rollover_due(XoltLogFileWriter& writer, std::uint64_t pending) noexcept {
  if (writer.header_version_ != own_version(writer)) {
    return true;
  }
  if (writer.rollover_mode_ >= kFirstInvalidMode) {
    writer.rollover_mode_ = XOLTLOG_ROLLOVER_NONE;
    return false;
  }
  std::uint64_t size = 0;
  if ((writer.rollover_mode_ & XOLTLOG_ROLLOVER_FILE_SIZE) != 0 && writer.max_size_kb_ != 0 &&
      size_known(writer, size) && (size + pending) / 1024 >= writer.max_size_kb_) {
    return true;
  }
  const std::uint32_t timed = XOLTLOG_ROLLOVER_LOCAL_TIME | XOLTLOG_ROLLOVER_PERIODIC;
  return (writer.rollover_mode_ & timed) != 0 &&
         platform::wall_clock_now().seconds >= writer.next_rollover_time_;
}

std::uint32_t write_record(XoltLogFileWriter* writer, XoltLogMsg* msg,
                           bool check_rollover) noexcept {
  if (writer == nullptr) {
    return XOLTLOG_E_NO_WRITER;
  }
  if (msg == nullptr) {
    return XOLTLOG_E_FAILED;
  }
  msg->record_version = own_version(*writer);
  msg->file_originator = writer->originator_id_;
  XoltLogTextMsg line;
  if (const std::uint32_t result = serialize_record(*msg, line); result != XOLTLOG_OK) {
    return result;
  }
  if (check_rollover) {
    check_rollover_and_reopen(*writer, *msg, text_size(line));
  }
  const std::uint32_t result = append(*writer, line);
  free_text_buffer(line);
  return result;
}

}  // namespace xoltlog
