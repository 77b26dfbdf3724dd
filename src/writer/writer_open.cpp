#include "writer/writer_open.h"

#include <cstring>

#include "access/latest_log.h"
#include "config/record.h"
#include "platform/heap.h"
#include "platform/clock.h"
#include "writer/file_start.h"
#include "writer/file_writer.h"
#include "writer/shared_writer.h"
#include "writer/writer_state.h"

namespace xoltlog {
namespace {

// The handle's own copy of the configuration it writes by; without memory
// it simply has none.
void give_config_copy(const LibraryLockGuard& held, XoltLogHandle& handle,
                      const XoltLogCfg& file_cfg) noexcept {
  auto* copy = static_cast<XoltLogCfg*>(allocate(sizeof(XoltLogCfg)));
  if (copy != nullptr && copy_config(held, copy, &file_cfg) != XOLTLOG_OK) {
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

// A copy of text, when there is one to copy; false when memory ran out.
bool copy_text(char*& field, const char* text) noexcept {
  release(field);
  field = duplicate_string(text);
  return field != nullptr || text == nullptr;
}

// Files made without the configured security would be open to more users
// than configured, so a security setting that cannot be copied fails the
// open.
std::uint32_t prepare_first_file(XoltLogFileWriter& writer, const XoltLogCfg& file_cfg) noexcept {
  writer.attached_ = nullptr;
  writer.day_counter_ = 0;
  writer.current_date_ = FileDate{};
  const bool copied = copy_text(writer.file_security_, file_cfg.file_sddl) &
                      copy_text(writer.second_file_security_, file_cfg.second_file_security);
  return copied ? XOLTLOG_OK : XOLTLOG_E_NO_MEMORY;
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

std::uint32_t take_logset_names(XoltLogFileWriter& writer, const XoltLogCfg& cfg) noexcept {
  const bool copied =
      copy_text(writer.logset_name_, cfg.logset_name) &
      copy_text(writer.logset_file_name_,
                cfg.logset_file_name != nullptr ? cfg.logset_file_name : cfg.logset_name);
  return copied ? XOLTLOG_OK : XOLTLOG_E_NO_MEMORY;
}

}  // namespace

// The search leaves the entry untouched when it finds nothing and nulls it
// when it found a file but could not copy it out: the sentinel tells which.
std::uint32_t start_latest_or_new(const LibraryLockGuard& held, XoltLogFileWriter& writer) {
  XoltLogFileEntry none{};
  XoltLogFileEntry* latest = &none;
  const bool found =
      writer.logset_mode_ != 0
          ? find_latest_logset(writer.directory_, writer.product_id_,
                               writer.logset_file_name_ != nullptr ? writer.logset_file_name_ : "",
                               latest) != 0
          : find_latest_log(writer.directory_, writer.product_id_, writer.originator_id_,
                            latest) != 0;
  if (!found && latest == nullptr) {
    return XOLTLOG_E_NO_MEMORY;
  }
  if (!found) {
    return start_file(held, writer, nullptr);
  }
  const BlockPtr<XoltLogFileEntry> owned(latest);
  return start_file(held, writer, owned.get());
}

namespace {

// Steps 3 to 11 of a connect; the first memory failure, after which the
// handle is attached all the same.
std::uint32_t connect(const LibraryLockGuard& held, XoltLogHandle& handle,
                      const XoltLogCfg& handle_cfg, const XoltLogCfg& file_cfg) noexcept {
  XoltLogFileWriter* writer = handle.file_writer;
  writer->product_id_ = file_cfg.product_id;
  writer->originator_id_ = file_cfg.originator_id;
  give_config_copy(held, handle, file_cfg);
  platform::file_init(writer->file_);
  if (file_cfg.logset_marker == 0) {
    XoltLogFileWriter* shared = share_writer(held, writer);
    if (shared != writer) {
      free_file_writer(held, writer);
      handle.file_writer = writer = shared;
    }
  }
  take_settings(*writer, file_cfg);
  std::uint32_t result = XOLTLOG_OK;
  if (writer->file_start_time_ == 0) {
    result = prepare_first_file(*writer, file_cfg);
  }
  take_handle_settings(handle, handle_cfg);
  add_log_to_file(held, &handle);
  handle.originator_id = handle_cfg.originator_id;
  const std::uint32_t named = take_logset_names(*writer, handle_cfg);
  return result != XOLTLOG_OK ? result : named;
}

}  // namespace

std::uint32_t add_log_to_file(const LibraryLockGuard&, XoltLogHandle* handle) noexcept {
  if (handle == nullptr || handle->file_writer == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  handle->next = handle->file_writer->attached_;
  handle->file_writer->attached_ = handle;
  return XOLTLOG_OK;
}

std::uint32_t open_file(const LibraryLockGuard& held, XoltLogHandle& handle,
                        const XoltLogCfg& handle_cfg, const XoltLogCfg& file_cfg) {
  if (file_cfg.log_directory[0] == '\0') {
    return XOLTLOG_E_NO_DIRECTORY;
  }
  if (const std::uint32_t result = connect(held, handle, handle_cfg, file_cfg);
      result != XOLTLOG_OK) {
    return result;
  }
  // A shared writer that has a file already is not touched.
  if (handle.file_writer->file_start_time_ != 0) {
    return XOLTLOG_OK;
  }
  return start_latest_or_new(held, *handle.file_writer);
}

}  // namespace xoltlog
