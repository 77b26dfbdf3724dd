// The write path: one record line into the writer's current file, after
// the rollover and reopen decisions.
#pragma once

#include <cstdint>

#include "frame/library_lock.h"
#include "xoltlog/message.h"

struct XoltLogFileWriter;

namespace xoltlog {

// See xoltLogWriteMsgWithRolloverToFile; with check_rollover false the
// record is only written (context records re-written into a new file).
// Throws std::bad_alloc when the next file cannot be planned for want of
// memory: the record is then not written, and the writer keeps the file it
// had (a later write tries the rollover again).
std::uint32_t write_record(const LibraryLockGuard& held, XoltLogFileWriter* writer,
                           XoltLogMsg* msg, bool check_rollover);

}  // namespace xoltlog
