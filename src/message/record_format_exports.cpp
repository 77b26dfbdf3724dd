// Exported record-line operations: the text buffer and the serializer.
#include <cstddef>

#include "message/record_serializer.h"
#include "message/text_buffer.h"
#include "xoltlog/record_format.h"

// The buffer is caller storage shared with code built elsewhere: its layout
// is fixed.
static_assert(sizeof(XoltLogTextMsg) == 4120);
static_assert(offsetof(XoltLogTextMsg, storage) == 4096);
static_assert(offsetof(XoltLogTextMsg, remaining) == 4104);
static_assert(offsetof(XoltLogTextMsg, capacity) == 4112);

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

}  // extern "C"
