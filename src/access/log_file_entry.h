// The log file entry in which tools are handed a file found on disk.
#pragma once

#include "xoltlog/access.h"
#include "xoltlog/platform.h"

namespace xoltlog {

// A new entry for the listing's current file, from allocate() and sized to
// its name: the name copied, time the creation time in seconds since 1970,
// the file context closed, everything else zero. Null when memory is
// exhausted. The caller owns the entry and frees it with release().
XoltLogFileEntry* make_log_file_entry(const XoltLogDirListing& listing) noexcept;

}  // namespace xoltlog
