#include "writer/file_start.h"

#include <ctime>
#include <limits>
#include <optional>

#include "access/header_reader.h"
#include "platform/clock.h"
#include "platform/file_primitives.h"
#include "platform/host_address.h"
#include "platform/time_breakdown.h"
#include "logfile/header_line.h"
#include "writer/header_write.h"
#include "writer/rollover_time.h"
#include "writer/writer_state.h"

namespace xoltlog {
namespace {

constexpr std::int64_t kMillisPerSecond = 1000;
// A file whose time rules cannot be worked out is never due by time.
constexpr std::int64_t kNeverDue = std::numeric_limits<std::int64_t>::max();

void plan_resume(const XoltLogFileWriter& writer, const XoltLogFileEntry& latest,
                 FilePlan& plan) {
  plan.path = std::string(writer.directory_) + latest.file_name;
  plan.name_time = latest.time;
  if (writer.logset_mode_ != 0) {
    return;
  }
  if (const auto resumed = parse_ordinary_for_resume(latest.file_name); resumed) {
    plan.date.year = resumed->year;
    plan.date.month = resumed->month;
    plan.date.day = resumed->day;
    plan.day_counter = resumed->counter;
  }
}

// 0, or 1 when this host's address number cannot be had or a logset
// writer has no set file name (its copy failed): no file is named outside
// its set.
std::uint32_t plan_new(const XoltLogFileWriter& writer, const std::tm& local, NextName next,
                       FilePlan& plan) {
  if (writer.logset_mode_ != 0) {
    if (writer.logset_file_name_ == nullptr) {
      return XOLTLOG_E_FAILED;
    }
    plan.path = logset_log_name(writer.directory_, writer.product_id_, writer.logset_file_name_,
                                local);
    return XOLTLOG_OK;
  }
  const std::optional<std::uint32_t> host = platform::host_address_number();
  if (!host) {
    return XOLTLOG_E_FAILED;
  }
  if (next == NextName::kSameDaySame) {
    --plan.day_counter;  // the advance below restores it on the same day
  }
  advance_day_counter(plan.date, plan.day_counter, local);
  plan.path = ordinary_log_name(writer.directory_, writer.product_id_, writer.originator_id_,
                                *host, plan.date, plan.day_counter);
  return XOLTLOG_OK;
}

std::uint32_t open_failure(std::int32_t code) noexcept {
  switch (code) {
    case -7: return XOLTLOG_E_FILE_ACCESS;
    case -8: return XOLTLOG_E_FILE_OPEN_PRIMITIVE;
    default: return XOLTLOG_E_FILE_OPEN;
  }
}

// An existing file keeps its header: the writer takes its version and, for
// an ordinary file, its creation time (now when it cannot be read).
void adopt_existing_header(XoltLogFileWriter& writer, FilePlan& plan) noexcept {
  XoltLogFileContext& reader = *plan.reader;
  platform::file_init(reader);
  XoltLogHeader header{};
  const bool read =
      platform::file_open(reader, plan.path.c_str(), XOLTLOG_OPEN_READ, nullptr) == 0 &&
      read_file_header(reader, header) == XOLTLOG_OK;
  platform::file_close(reader);
  writer.header_version_ = read ? header.version : 0;
  if (writer.logset_mode_ != 0) {
    writer.file_start_time_ = plan.name_time;
  } else {
    writer.file_start_time_ = read ? header.creation_time : plan.now;
  }
}

// A start read from a foreign header may lie anywhere in the 64-bit range.
std::int64_t start_in_millis(std::int64_t start) noexcept {
  constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / kMillisPerSecond;
  if (start > kLimit) {
    return std::numeric_limits<std::int64_t>::max();
  }
  return start < -kLimit ? std::numeric_limits<std::int64_t>::min() : start * kMillisPerSecond;
}

void finish_start(XoltLogFileWriter& writer, std::int64_t now) noexcept {
  writer.identity_known_ = platform::file_identity(writer.file_, writer.identity_);
  writer.reopen_mark_ms_ = start_in_millis(writer.file_start_time_);
  writer.next_rollover_time_ =
      next_rollover_time(writer.rollover_mode_, writer.file_start_time_, writer.rollover_time_,
                         writer.rollover_period_, now)
          .value_or(kNeverDue);
}

}  // namespace

std::uint32_t plan_file(const LibraryLockGuard&, const XoltLogFileWriter& writer,
                        const XoltLogFileEntry* latest, NextName next, FilePlan& plan) {
  plan.now = platform::wall_clock_now().seconds;
  plan.name_time = plan.now;
  plan.date = writer.current_date_;
  plan.day_counter = writer.day_counter_;
  plan.reader = std::make_unique<XoltLogFileContext>();
  if (latest != nullptr) {
    plan_resume(writer, *latest, plan);
    return XOLTLOG_OK;
  }
  std::tm local{};
  if (!platform::break_down_local(plan.now, local)) {
    return XOLTLOG_E_FAILED;
  }
  return plan_new(writer, local, next, plan);
}

std::uint32_t open_planned_file(const LibraryLockGuard&, XoltLogFileWriter& writer,
                                FilePlan& plan) noexcept {
  if (platform::make_directories(writer.directory_, writer.file_security_) != 0) {
    return XOLTLOG_E_FAILED;
  }
  writer.current_date_ = plan.date;
  writer.day_counter_ = plan.day_counter;
  const HeaderOrigin origin{writer.product_id_, writer.originator_id_, writer.logset_mode_ != 0};
  XoltLogHeader header;
  if (!fill_new_header(header, origin, plan.now)) {
    return XOLTLOG_E_FAILED;  // no host name
  }
  char line[kHeaderLineCapacity];
  const std::size_t length = format_header_line(header, line);
  bool wrote = false;
  const std::int32_t opened = platform::file_open_with_first_line(
      writer.file_, plan.path.c_str(), writer.file_security_, line,
      static_cast<std::uint32_t>(length), wrote);
  if (opened != 0 && opened != -5) {
    return open_failure(opened);
  }
  if (wrote) {
    writer.header_version_ = header.version;
    writer.file_start_time_ = header.creation_time;
  } else {
    adopt_existing_header(writer, plan);
  }
  finish_start(writer, plan.now);
  return opened == -5 ? XOLTLOG_E_FAILED : XOLTLOG_OK;
}

std::uint32_t start_file(const LibraryLockGuard& held, XoltLogFileWriter& writer,
                         const XoltLogFileEntry* latest) {
  FilePlan plan;
  if (const std::uint32_t planned = plan_file(held, writer, latest, NextName::kAdvance, plan);
      planned != XOLTLOG_OK) {
    return planned;
  }
  return open_planned_file(held, writer, plan);
}

void close_current_file(const LibraryLockGuard&, XoltLogFileWriter& writer) noexcept {
  platform::file_close(writer.file_);
  writer.identity_known_ = false;
}

}  // namespace xoltlog
