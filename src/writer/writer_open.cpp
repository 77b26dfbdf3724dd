#include "writer/writer_open.h"

#include <cstring>

#include "access/latest_log.h"
#include "config/record.h"
#include "frame/library_lock.h"
#include "frame/memory.h"
#include "platform/clock.h"
#include "writer/file_start.h"
#include "writer/file_writer.h"
#include "writer/shared_writer.h"

namespace xoltlog {
namespace {

// The handle's own copy of the configuration it writes by; without memory
// it simply has none.
void give_config_copy(XoltLogHandle& handle, const XoltLogCfg& file_cfg) noexcept {
  auto* copy = static_cast<XoltLogCfg*>(allocate(sizeof(XoltLogCfg)));
  if (copy != nullptr && copy_config(copy, &file_cfg) != XOLTLOG_OK) {
    release(copy);
    copy = nullptr;
  }
  handle.config = copy;
}

// A shared writer takes the settings of its newest opener.
void take_settings(XoltLogFileWriter& writer, const XoltLogCfg& file_cfg) noexcept {
  writer.logset_mode_ = file_cfg.logset_marker;
  std::memcpy(writer.directory_, file_cfg.log_directory, sizeof writer.directory_);
  writer.max_size_kb_ = file_cfg.max_file_size_kb;
  writer.rollover_mode_ = file_cfg.rollover_mode;
  writer.recycle_ = file_cfg.log_recycle;
  writer.rollover_period_ = file_cfg.rollover_period;
  writer.rollover_time_ = file_cfg.rollover_time;
}

void prepare_first_file(XoltLogFileWriter& writer, const XoltLogCfg& file_cfg) noexcept {
  writer.attached_ = nullptr;
  writer.day_counter_ = 0;
  writer.current_date_ = FileDate{};
  release(writer.file_security_);
  release(writer.second_file_security_);
  writer.file_security_ = duplicate_string(file_cfg.file_sddl);
  writer.second_file_security_ = duplicate_string(file_cfg.second_file_security);
}

void take_handle_settings(XoltLogHandle& handle, const XoltLogCfg& handle_cfg) noexcept {
  const std::int64_t now = platform::wall_clock_now().seconds;
  handle.debug_level = static_cast<std::int32_t>(handle_cfg.debug_level);
  handle.diag_level = static_cast<std::int32_t>(handle_cfg.diag_level);
  handle.output_flags = handle_cfg.flags;
  handle.reload_interval = static_cast<std::int32_t>(handle_cfg.reload_interval);
  handle.context_marker = 1;
  handle.sequence_counter = 1;
  handle.open_time = now;
  handle.last_reload_check = now;
}

void take_logset_names(XoltLogFileWriter& writer, const XoltLogCfg& cfg) noexcept {
  release(writer.logset_name_);
  release(writer.logset_file_name_);
  writer.logset_name_ = duplicate_string(cfg.logset_name);
  writer.logset_file_name_ = duplicate_string(
      cfg.logset_file_name != nullptr ? cfg.logset_file_name : cfg.logset_name);
}

std::uint32_t start_latest_or_new(XoltLogFileWriter& writer) noexcept {
  XoltLogFileEntry* latest = nullptr;
  const bool found =
      writer.logset_mode_ != 0
          ? find_latest_logset(writer.directory_, writer.product_id_,
                               writer.logset_file_name_ != nullptr ? writer.logset_file_name_ : "",
                               latest) != 0
          : find_latest_log(writer.directory_, writer.product_id_, writer.originator_id_,
                            latest) != 0;
  const std::uint32_t result = start_file(writer, found ? latest : nullptr);
  release(latest);
  return result;
}

}  // namespace

std::uint32_t add_log_to_file(XoltLogHandle* handle) noexcept {
  if (handle == nullptr || handle->file_writer == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  LibraryLockGuard guard("xoltLogAddLogToFile()");
  handle->next = handle->file_writer->attached_;
  handle->file_writer->attached_ = handle;
  return XOLTLOG_OK;
}

std::uint32_t open_file(XoltLogHandle& handle, const XoltLogCfg& handle_cfg,
                        const XoltLogCfg& file_cfg) noexcept {
  if (file_cfg.log_directory[0] == '\0') {
    return XOLTLOG_E_NO_DIRECTORY;
  }
  LibraryLockGuard guard("xoltLogOpenFile()");
  XoltLogFileWriter* writer = handle.file_writer;
  writer->product_id_ = file_cfg.product_id;
  writer->originator_id_ = file_cfg.originator_id;
  give_config_copy(handle, file_cfg);
  platform::file_init(writer->file_);
  if (file_cfg.logset_marker == 0) {
    XoltLogFileWriter* shared = share_writer(writer);
    if (shared != writer) {
      free_file_writer(writer);
      handle.file_writer = writer = shared;
    }
  }
  take_settings(*writer, file_cfg);
  if (writer->file_start_time_ == 0) {
    prepare_first_file(*writer, file_cfg);
  }
  take_handle_settings(handle, handle_cfg);
  add_log_to_file(&handle);
  handle.originator_id = handle_cfg.originator_id;
  take_logset_names(*writer, handle_cfg);
  // A shared writer that has a file already is not touched.
  if (writer->file_start_time_ != 0) {
    return XOLTLOG_OK;
  }
  return start_latest_or_new(*writer);
}

}  // namespace xoltlog
