// The write path: one record line into the writer's current file, after
// the rollover and reopen decisions. Called under the library lock.
#pragma once

#include <cstdint>

#include "writer/file_writer.h"
#include "xoltlog/message.h"

namespace xoltlog {

// See xoltLogWriteMsgWithRolloverToFile; with check_rollover false the
// record is only written (context records re-written into a new file).
std::uint32_t write_record(XoltLogFileWriter* writer, XoltLogMsg* msg,
                           bool check_rollover) noexcept;

// Whether the current file must be left before pending more bytes.
bool rollover_due(XoltLogFileWriter& writer, std::uint64_t pending) noexcept;

}  // namespace xoltlog
