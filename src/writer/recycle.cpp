#include "writer/recycle.h"

#include <new>
#include <string>

#include "access/collect.h"
#include "access/file_copy.h"
#include "access/manageable.h"
#include "platform/file_status.h"
#include "writer/writer_state.h"

namespace xoltlog {
namespace {

// However the files' times came out, the file being written is never one
// of the surplus.
bool is_current_file(const XoltLogFileWriter& writer, const char* path) noexcept {
  platform::FileIdentity identity{};
  return writer.identity_known_ && platform::path_identity(path, identity) &&
         identity.device == writer.identity_.device && identity.inode == writer.identity_.inode;
}

}  // namespace

void recycle(const LibraryLockGuard&, XoltLogFileWriter& writer) noexcept {
  XoltLogFileList list;
  const std::uint32_t listed =
      writer.logset_mode_ != 0
          ? manageable_logset_files(writer.product_id_, writer.logset_name_, list)
          : manageable_files(writer.product_id_, writer.originator_id_, list);
  if (listed != XOLTLOG_OK) {
    return;
  }
  XoltLogFileEntry* entry = nullptr;
  while (fetch_next_file(list, entry) == XOLTLOG_OK) {
    try {
      const std::string path = std::string(entry->directory) + entry->file_name;
      if (!is_current_file(writer, path.c_str())) {
        delete_log_file(path.c_str());
      }
    } catch (const std::bad_alloc&) {
      break;  // offered again after the next rollover
    }
  }
  free_entries(list.head);
}

}  // namespace xoltlog
