// Exported directory listing of log files.
#include <cstddef>

#include "platform/dir_listing.h"
#include "xoltlog/platform.h"

// Listings are caller storage laid out as the platform's find data is.
static_assert(sizeof(XoltLogFindData) == 320);
static_assert(offsetof(XoltLogFindData, creation_time) == 4);
static_assert(offsetof(XoltLogFindData, size_high) == 28);
static_assert(offsetof(XoltLogFindData, file_name) == 44);
static_assert(offsetof(XoltLogFindData, alternate_name) == 304);
static_assert(sizeof(XoltLogDirListing) == 328);

extern "C" {

XOLTLOG_API int32_t xoltLogOsListLogFilesBegin(XoltLogDirListing* listing,
                                               const char* directory) noexcept {
  if (listing == nullptr || directory == nullptr) {
    return -3;
  }
  return xoltlog::platform::list_begin(*listing, directory);
}

XOLTLOG_API int32_t xoltLogOsListLogFilesNext(XoltLogDirListing* listing) noexcept {
  return listing == nullptr ? -1 : xoltlog::platform::list_next(*listing);
}

XOLTLOG_API const char* xoltLogOsListLogFilesName(const XoltLogDirListing* listing) noexcept {
  return listing == nullptr ? nullptr : listing->find_data.file_name;
}

XOLTLOG_API void xoltLogOsListLogFilesEnd(XoltLogDirListing* listing) noexcept {
  if (listing != nullptr) {
    xoltlog::platform::list_end(*listing);
  }
}

XOLTLOG_API int32_t CopyLogOsListLogFiles(const XoltLogDirListing* source,
                                          XoltLogDirListing* destination) noexcept {
  if (source != nullptr && destination != nullptr) {
    xoltlog::platform::list_copy(*source, *destination);
  }
  return 0;
}

}  // extern "C"
