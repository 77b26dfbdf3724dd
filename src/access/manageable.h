// The files a series may lose: of each writer's files, the oldest beyond
// its configured number of log files. Tools list them; the writer's
// recycling deletes them. No lock is taken here but by the configuration
// reads, which take it themselves.
#pragma once

#include <cstdint>

#include "xoltlog/file_list.h"

namespace xoltlog {

// See xoltLogGetManageableLogFiles and xoltLogGetManageableLogFilesSL; the
// list is given.
std::uint32_t manageable_files(std::uint32_t product_id, std::uint32_t originator_id,
                               XoltLogFileList& list) noexcept;
std::uint32_t manageable_logset_files(std::uint32_t product_id, const char* logset,
                                      XoltLogFileList& list) noexcept;

// See xoltLogFetchNextFileEx; the list is given.
std::uint32_t fetch_next_file(XoltLogFileList& list, XoltLogFileEntry*& entry) noexcept;

}  // namespace xoltlog
