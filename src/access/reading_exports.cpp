// Exported reading of log files: record lines and header lines.
#include <cstddef>

#include "access/header_reader.h"
#include "access/record_reader.h"
#include "xoltlog/access.h"
#include "xoltlog/result.h"

// The header record is caller storage shared with code built elsewhere: its
// layout is fixed.
static_assert(sizeof(XoltLogHeader) == 544);
static_assert(offsetof(XoltLogHeader, creation_time) == 16);
static_assert(offsetof(XoltLogHeader, host_name) == 24);
static_assert(offsetof(XoltLogHeader, tz_offset) == 536);

extern "C" {

XOLTLOG_API int32_t readrecord(XoltLogFileContext* file, XoltLogTextMsg* buffer) noexcept {
  if (file == nullptr || buffer == nullptr) {
    return -1;
  }
  return xoltlog::read_record(*file, *buffer);
}

XOLTLOG_API uint32_t ReadHeader(XoltLogFileEntry* entry, XoltLogHeader* header) noexcept {
  if (entry == nullptr || header == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::read_entry_header(*entry, *header);
}

XOLTLOG_API uint32_t ReadHeaderEx(XoltLogFileContext* file, XoltLogHeader* header) noexcept {
  if (file == nullptr || header == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::read_file_header(*file, *header);
}

}  // extern "C"
