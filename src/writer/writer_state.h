// The file writer's fields: the state behind one log file series, shared by
// the log handles and contexts that write through it. Private to writer/
// (its sources alone are built with XOLTLOG_WRITER_INTERNAL): the rest of
// the library sees the opaque structure of file_writer.h. Every field is
// read and changed under the library lock, which is why the functions that
// take a writer also take the held guard.
#pragma once

#ifndef XOLTLOG_WRITER_INTERNAL
#error "writer/writer_state.h is private to src/writer/; use writer/file_writer.h"
#endif

#include <cstdint>

#include "platform/file_primitives.h"
#include "logfile/file_names.h"
#include "xoltlog/config.h"
#include "xoltlog/handle.h"
#include "xoltlog/platform.h"

struct XoltLogFileWriter {
  char directory_[XOLTLOG_CFG_TEXT_SIZE];  // ends with a separator
  char* file_security_;
  char* second_file_security_;
  std::uint32_t max_size_kb_;
  std::uint32_t rollover_mode_;
  std::uint32_t recycle_;
  std::uint64_t rollover_period_;
  std::int64_t rollover_time_;  // seconds after local midnight, as configured
  std::uint32_t product_id_;
  std::uint32_t originator_id_;  // the file's originator
  std::uint32_t header_version_;  // of the current file; 0 when unreadable
  xoltlog::FileDate current_date_;
  std::uint32_t day_counter_;
  std::int64_t next_rollover_time_;
  std::int64_t file_start_time_;  // 0: no file opened yet
  std::int64_t reopen_mark_ms_;
  XoltLogFileContext file_;
  XoltLogHandle* attached_;  // handles and contexts, linked through next
  std::uint32_t logset_mode_;
  char* logset_name_;
  char* logset_file_name_;
  // Which file file_ holds, so that its size comes from the lock table.
  xoltlog::platform::FileIdentity identity_;
  bool identity_known_;
};
