// The exported file-list operations: collecting, selecting, fetching,
// copying and deleting log files.
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <span>

#include "access/collect.h"
#include "access/file_copy.h"
#include "access/manageable.h"
#include "platform/heap.h"
#include "xoltlog/config.h"
#include "xoltlog/file_list.h"
#include "xoltlog/frame.h"

static_assert(sizeof(XoltLogFileList) == XOLTLOG_FILE_LIST_SIZE);
static_assert(offsetof(XoltLogFileList, head) == 8);
static_assert(offsetof(XoltLogFileList, query) == 24);

extern "C" {

XOLTLOG_API uint32_t GetLogFiles(XoltLogCfg* const* configurations, uint32_t count,
                                 XoltLogFileList* list) noexcept {
  if (configurations == nullptr || list == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::collect_log_files(std::span(configurations, count), *list);
}

XOLTLOG_API uint32_t xoltLogGetManageableLogFiles(uint32_t product_id, uint32_t originator_id,
                                                  XoltLogFileList* list) noexcept {
  if (list == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::manageable_files(product_id, originator_id, *list);
}

XOLTLOG_API uint32_t xoltLogGetManageableLogFilesSL(uint32_t product_id, const char* logset_name,
                                                    XoltLogFileList* list) noexcept {
  if (list == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::manageable_logset_files(product_id, logset_name, *list);
}

XOLTLOG_API uint32_t xoltLogFetchNextFileEx(XoltLogFileList* list,
                                            XoltLogFileEntry** entry) noexcept {
  if (list == nullptr || entry == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::fetch_next_file(*list, *entry);
}

XOLTLOG_API uint32_t xoltLogFetchNextFile(XoltLogFileList* list, char** path) noexcept {
  if (list == nullptr || path == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  XoltLogFileEntry* entry = nullptr;
  if (const uint32_t result = xoltlog::fetch_next_file(*list, entry); result != XOLTLOG_OK) {
    return result;
  }
  auto* buffer = static_cast<char*>(xoltlog::allocate(XOLTLOG_PATH_BUFFER_SIZE));
  if (buffer == nullptr) {
    return XOLTLOG_E_NO_MEMORY;
  }
  std::memset(buffer, 0, XOLTLOG_PATH_BUFFER_SIZE);
  std::snprintf(buffer, XOLTLOG_PATH_BUFFER_SIZE, "%s%s", entry->directory, entry->file_name);
  *path = buffer;
  return XOLTLOG_OK;
}

XOLTLOG_API void xoltLogFreeBuffer(char** path) noexcept {
  if (path != nullptr && *path != nullptr) {
    xoltlog::release(*path);
    *path = nullptr;
  }
}

XOLTLOG_API uint32_t xoltLogCopyFile(const char* source,
                                     const char* destination_directory) noexcept {
  if (source == nullptr || destination_directory == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::copy_log_file(source, destination_directory);
}

XOLTLOG_API uint32_t xoltLogCopyFileEx(const char* source,
                                       const char* destination_directory) noexcept {
  if (source == nullptr || destination_directory == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::copy_log_file_whole(source, destination_directory);
}

XOLTLOG_API uint32_t xoltLogDeleteFile(const char* path) noexcept {
  if (path == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  xoltlog::delete_log_file(path);
  return XOLTLOG_OK;
}

XOLTLOG_API void FreeConfigArray(XoltLogCfg** records, uint32_t count) noexcept {
  if (records == nullptr) {
    return;
  }
  for (uint32_t i = 0; i < count; ++i) {
    if (records[i] != nullptr) {
      xoltLogFreeCfg(records[i]);
      xoltLogFree(records[i]);
    }
  }
}

}  // extern "C"
