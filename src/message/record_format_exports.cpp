// Exported record-line operations: the text buffer, the serializer and the
// reader of lines back into records.
#include <cstddef>
#include <limits>
#include <string_view>

#include "message/record_from_line.h"

#include "message/record_serializer.h"
#include "message/text_buffer.h"
#include "xoltlog/record_format.h"

// The buffer is caller storage shared with code built elsewhere: its layout
// is fixed.
static_assert(sizeof(XoltLogTextMsg) == 4120);
static_assert(offsetof(XoltLogTextMsg, storage) == 4096);
static_assert(offsetof(XoltLogTextMsg, remaining) == 4104);
static_assert(offsetof(XoltLogTextMsg, capacity) == 4112);
static_assert(sizeof(XoltLogParseError) == 16);
static_assert(offsetof(XoltLogParseError, reason) == 8);

extern "C" {

XOLTLOG_API void init_text_msg(XoltLogTextMsg* buffer) noexcept {
  if (buffer != nullptr) {
    xoltlog::init_text_buffer(*buffer);
  }
}

XOLTLOG_API void free_text_msg(XoltLogTextMsg* buffer) noexcept {
  if (buffer != nullptr) {
    xoltlog::free_text_buffer(*buffer);
  }
}

XOLTLOG_API uint32_t xoltLogMsgSerialize(XoltLogMsg* record, XoltLogTextMsg* buffer) noexcept {
  if (record == nullptr || buffer == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::serialize_record(*record, *buffer);
}

XOLTLOG_API uint32_t xoltLogMsgParse(const char* line, uint64_t length, uint32_t record_version,
                                     XoltLogMsg* record, XoltLogParseError* error) noexcept {
  xoltlog::ParseError found;
  uint32_t result = XOLTLOG_E_INVALID_ARG;
  if (line != nullptr && record != nullptr && length <= std::numeric_limits<std::size_t>::max()) {
    const std::string_view text(line, static_cast<std::size_t>(length));
    result = xoltlog::record_from_line(text, record_version, *record, found);
  }
  if (error != nullptr) {
    const bool refused = result == XOLTLOG_E_FAILED;
    *error = {refused ? found.offset : 0, refused ? found.reason.data() : nullptr};
  }
  return result;
}

}  // extern "C"
