// Handing out the files of a list one by one: only those whose header can
// be read and that pass the list's query.
#include <cstring>
#include <string>

#include "access/header_reader.h"
#include "access/manageable.h"
#include "access/query_eval.h"
#include "logfile/file_name_parse.h"
#include "platform/file_primitives.h"
#include "platform/file_status.h"
#include "platform/time_text.h"

namespace xoltlog {
namespace {

// A logset file's header takes its product and time from the file's name,
// and the set's file name is what the query compares.
void take_logset_name(const XoltLogFileEntry& entry, XoltLogHeader& header, char* set_name) {
  std::uint32_t product = 0;
  char stamp[13] = {};
  if (logset_fields_from_file_name(entry.file_name, product, set_name, stamp)) {
    header.product_id = product;
    header.creation_time = platform::str_stamp_to_time(stamp);
  } else {
    set_name[0] = '\0';
  }
}

// Reads the entry's header: 0, or the header reader's failure (1 for a
// file that cannot be opened).
std::uint32_t read_header(XoltLogFileEntry& entry, const std::string& path, XoltLogHeader& header,
                          char* set_name) {
  if (platform::file_open(entry.file, path.c_str(), XOLTLOG_OPEN_READ, nullptr) != 0) {
    return XOLTLOG_E_FAILED;
  }
  header = XoltLogHeader{};
  const std::uint32_t result = read_entry_header(entry, header);
  if (header.version == XOLTLOG_HEADER_VERSION_LOGSET) {
    take_logset_name(entry, header, set_name);
  }
  platform::file_close(entry.file);
  return result;
}

}  // namespace

std::uint32_t fetch_next_file(XoltLogFileList& list, XoltLogFileEntry*& entry) noexcept {
  try {
    std::int64_t modified = 0;
    for (XoltLogFileEntry* candidate = list.cursor; candidate != nullptr;
         candidate = candidate->next) {
      list.cursor = candidate;
      const std::string path = std::string(candidate->directory) + candidate->file_name;
      modified = platform::regular_file_modified(path.c_str()).value_or(modified);
      XoltLogHeader header{};
      char set_name[XOLTLOG_FIND_NAME_SIZE] = {};
      const std::uint32_t result = read_header(*candidate, path, header, set_name);
      if (result == XOLTLOG_E_BAD_HEADER) {
        list.unsupported_header = 1;
      }
      if (result == XOLTLOG_OK && query_passes_header(list.query, {&header, set_name, modified})) {
        entry = candidate;
        list.cursor = candidate->next;
        return XOLTLOG_OK;
      }
    }
  } catch (const std::bad_alloc&) {
    return XOLTLOG_E_NO_MEMORY;
  }
  return XOLTLOG_E_NO_MORE;
}

}  // namespace xoltlog
