// Message records set up field by field and their serialized lines, for the
// record-line tests. Records here borrow every string and never own one:
// they are not released with xoltLogFreeMsg.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "xoltlog/message.h"
#include "xoltlog/record_format.h"

namespace record_test {

// A record with the header fields of the example lines (product 5,
// originator 7, file originator 7, process 4321, thread 8765).
inline XoltLogMsg header_record(uint32_t type, uint32_t sequence, int64_t timestamp_ms,
                                uint32_t version = XOLTLOG_RECORD_VERSION) {
  XoltLogMsg msg{};
  msg.record_version = version;
  msg.type = type;
  msg.product_id = 5;
  msg.originator_id = msg.file_originator = 7;
  msg.sequence = sequence;
  msg.timestamp_ms = timestamp_ms;
  msg.process_id = 4321;
  msg.thread_id = 8765;
  return msg;
}

inline char* borrowed(const char* text) { return const_cast<char*>(text); }

struct Serialized {
  uint32_t result = 0;
  std::string line;                 // the buffer's content when result is 0
  bool buffer_left_inline = false;  // nothing to release after a failure
};

inline Serialized serialize(XoltLogMsg msg) {
  XoltLogTextMsg buffer;
  Serialized out;
  out.result = xoltLogMsgSerialize(&msg, &buffer);
  if (out.result == XOLTLOG_OK) {
    out.line.assign(buffer.storage, buffer.capacity - buffer.remaining);
    free_text_msg(&buffer);
  } else {
    out.buffer_left_inline =
        buffer.storage == buffer.inline_storage && buffer.capacity == XOLTLOG_TEXT_INLINE_SIZE;
  }
  return out;
}

// The line of a record that must serialize; empty after a reported failure.
inline std::string line_of(const XoltLogMsg& msg) {
  Serialized out = serialize(msg);
  EXPECT_EQ(out.result, XOLTLOG_OK);
  return out.line;
}

}  // namespace record_test
