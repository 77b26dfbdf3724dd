// The process's shared writer slot: ordinary handles of one product and
// originator write through one writer and one open file. The slot is part
// of the state the library lock guards.
#pragma once

#include "frame/library_lock.h"

struct XoltLogFileWriter;

namespace xoltlog {

// Offers a handle's new writer to the slot: an empty slot takes it; a slot
// holding a writer of the same product and originator gives that one back
// (the offered one is then the caller's to free); otherwise the offered one
// is given back.
XoltLogFileWriter* share_writer(const LibraryLockGuard& held, XoltLogFileWriter* offered) noexcept;
// Empties the slot when it holds a writer of the same product and
// originator as this one.
void withdraw_writer(const LibraryLockGuard& held, const XoltLogFileWriter& writer) noexcept;

}  // namespace xoltlog
