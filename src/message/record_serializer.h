// The record line: one message record written as one line of a log file.
#pragma once

#include <cstdint>

#include "xoltlog/message.h"
#include "xoltlog/record_format.h"

namespace xoltlog {

// The oldest record version still written; versions below the ordinary one
// (0x10007) write no numeric header.
inline constexpr std::uint32_t kOldestRecordVersion = 0x10004;

// Initializes buffer and writes msg's record line into it, ended by one line
// feed. Result 0: the caller releases the buffer with free_text_buffer.
// Otherwise nothing remains to release: 1 for a record that cannot be
// written (record version, message type, severity, an argument node), 3 for
// nested messages deeper than XOLT_RIR_MAX_NESTING, 4 when memory runs out.
// The record is only read.
std::uint32_t serialize_record(const XoltLogMsg& msg, XoltLogTextMsg& buffer) noexcept;

}  // namespace xoltlog
