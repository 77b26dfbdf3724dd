// Collecting the log files of configuration records into a file list,
// each file once, oldest first.
#pragma once

#include <cstdint>
#include <span>

#include "xoltlog/config.h"
#include "xoltlog/file_list.h"

namespace xoltlog {

// See GetLogFiles; the list is given, null records are passed over.
std::uint32_t collect_log_files(std::span<XoltLogCfg* const> records,
                                XoltLogFileList& list) noexcept;

// The name a logset record's files carry: its file name, else its name.
const char* set_file_name_of(const XoltLogCfg& record) noexcept;

// Frees every entry of a chain (closing an open file context first).
void free_entries(XoltLogFileEntry* head) noexcept;

}  // namespace xoltlog
