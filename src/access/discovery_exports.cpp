// Exported log file discovery: entries, name parsers and latest files.
#include <cstddef>

#include "logfile/file_name_parse.h"
#include "access/latest_log.h"
#include "access/log_file_entry.h"
#include "xoltlog/access.h"

// Entries are handed to code built elsewhere: their layout is fixed.
static_assert(sizeof(XoltLogFileEntry) == 35496);
static_assert(offsetof(XoltLogFileEntry, file) == 16);
static_assert(offsetof(XoltLogFileEntry, record) == 32808);
static_assert(offsetof(XoltLogFileEntry, time) == 34456);
static_assert(offsetof(XoltLogFileEntry, directory) == 34468);
static_assert(offsetof(XoltLogFileEntry, file_name) == 35493);

extern "C" {

XOLTLOG_API XoltLogFileEntry* alloc_file(const XoltLogDirListing* listing) noexcept {
  return listing == nullptr ? nullptr : xoltlog::make_log_file_entry(*listing);
}

XOLTLOG_API int32_t getidfromfilename(const char* name, uint32_t* product_id,
                                      uint32_t* originator_id) noexcept {
  if (name == nullptr || product_id == nullptr || originator_id == nullptr) {
    return 0;
  }
  return xoltlog::ids_from_file_name(name, *product_id, *originator_id) ? 1 : 0;
}

XOLTLOG_API int32_t getSLidfromfilename(const char* name, uint32_t* product_id, char* set_name,
                                        char* date_time) noexcept {
  if (name == nullptr || product_id == nullptr || set_name == nullptr || date_time == nullptr) {
    return 0;
  }
  return xoltlog::logset_fields_from_file_name(name, *product_id, set_name, date_time) ? 1 : 0;
}

XOLTLOG_API uint8_t xoltLogFindLatestLog(const char* directory, uint32_t product_id,
                                         uint32_t originator_id, uint32_t /*reserved1*/,
                                         int64_t /*reserved2*/, XoltLogFileEntry** entry) noexcept {
  if (directory == nullptr || entry == nullptr) {
    return 0;
  }
  return xoltlog::find_latest_log(directory, product_id, originator_id, *entry);
}

XOLTLOG_API uint8_t xoltLogFindLatestLogSL(const char* directory, uint32_t product_id,
                                           const char* set_file_name, uint32_t /*reserved1*/,
                                           int64_t /*reserved2*/,
                                           XoltLogFileEntry** entry) noexcept {
  if (directory == nullptr || set_file_name == nullptr || entry == nullptr) {
    return 0;
  }
  return xoltlog::find_latest_logset(directory, product_id, set_file_name, *entry);
}

}  // extern "C"
