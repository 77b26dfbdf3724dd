#include "writer/file_start.h"

#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "access/header_reader.h"
#include "platform/clock.h"
#include "platform/file_primitives.h"
#include "platform/host_address.h"
#include "platform/time_breakdown.h"
#include "writer/header_line.h"
#include "writer/header_write.h"
#include "writer/rollover_time.h"

namespace xoltlog {
namespace {

// What start_file settles before it opens anything.
struct Plan {
  std::string path;
  std::int64_t now;
  std::int64_t name_time;  // a logset file's time from its name
};

void resume_date(XoltLogFileWriter& writer, const XoltLogFileEntry& latest) noexcept {
  if (writer.logset_mode_ != 0) {
    return;
  }
  if (const auto resumed = parse_ordinary_for_resume(latest.file_name); resumed) {
    writer.current_date_.year = resumed->year;
    writer.current_date_.month = resumed->month;
    writer.current_date_.day = resumed->day;
    writer.day_counter_ = resumed->counter;
  }
}

std::optional<std::string> new_file_name(XoltLogFileWriter& writer, const std::tm& local) noexcept {
  if (writer.logset_mode_ != 0) {
    const char* set = writer.logset_file_name_ != nullptr ? writer.logset_file_name_ : "";
    return logset_log_name(writer.directory_, writer.product_id_, set, local);
  }
  const std::optional<std::uint32_t> host = platform::host_address_number();
  if (!host) {
    return std::nullopt;
  }
  advance_day_counter(writer.current_date_, writer.day_counter_, local);
  return ordinary_log_name(writer.directory_, writer.product_id_, writer.originator_id_, *host,
                           writer.current_date_, writer.day_counter_);
}

// The path to open, or a result code.
std::uint32_t plan_file(XoltLogFileWriter& writer, const XoltLogFileEntry* latest,
                        Plan& plan) noexcept {
  plan.now = platform::wall_clock_now().seconds;
  plan.name_time = plan.now;
  try {
    if (latest != nullptr) {
      resume_date(writer, *latest);
      plan.path = std::string(writer.directory_) + latest->file_name;
      plan.name_time = latest->time;
      return XOLTLOG_OK;
    }
    std::tm local{};
    const std::optional<std::string> name =
        platform::break_down_local(plan.now, local) ? new_file_name(writer, local) : std::nullopt;
    if (!name) {
      return XOLTLOG_E_FAILED;
    }
    plan.path = *name;
    return XOLTLOG_OK;
  } catch (const std::bad_alloc&) {
    return XOLTLOG_E_FAILED;
  }
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
void adopt_existing_header(XoltLogFileWriter& writer, const Plan& plan) noexcept {
  auto reader = std::make_unique<XoltLogFileContext>();
  platform::file_init(*reader);
  XoltLogHeader header{};
  const bool read = platform::file_open(*reader, plan.path.c_str(), XOLTLOG_OPEN_READ, nullptr) ==
                        0 &&
                    read_file_header(*reader, header) == XOLTLOG_OK;
  platform::file_close(*reader);
  writer.header_version_ = read ? header.version : 0;
  if (writer.logset_mode_ != 0) {
    writer.file_start_time_ = plan.name_time;
  } else {
    writer.file_start_time_ = read ? header.creation_time : plan.now;
  }
}

void finish_start(XoltLogFileWriter& writer, std::int64_t now) noexcept {
  writer.identity_known_ = platform::file_identity(writer.file_, writer.identity_);
  writer.reopen_mark_ms_ = writer.file_start_time_ * 1000;
  if (const auto next = next_rollover_time(writer.rollover_mode_, writer.file_start_time_,
                                           writer.rollover_time_, writer.rollover_period_, now)) {
    writer.next_rollover_time_ = *next;
  }
}

}  // namespace

std::uint32_t start_file(XoltLogFileWriter& writer, const XoltLogFileEntry* latest) noexcept {
  if (platform::make_directories(writer.directory_, writer.file_security_) != 0) {
    return XOLTLOG_E_FAILED;
  }
  Plan plan;
  if (const std::uint32_t planned = plan_file(writer, latest, plan); planned != XOLTLOG_OK) {
    return planned;
  }
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

void close_current_file(XoltLogFileWriter& writer) noexcept {
  platform::file_close(writer.file_);
  writer.identity_known_ = false;
}

}  // namespace xoltlog
