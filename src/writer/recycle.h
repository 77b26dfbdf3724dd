// Recycling: after a rollover, the oldest files of the writer's series
// beyond its configured number are deleted, chosen as the tools choose
// them. Nothing is reported: a failed listing ends it silently, a failed
// deletion prints its line, and the write that rolled over is not
// affected.
#pragma once

#include "frame/library_lock.h"

struct XoltLogFileWriter;

namespace xoltlog {

void recycle(const LibraryLockGuard& held, XoltLogFileWriter& writer) noexcept;

}  // namespace xoltlog
