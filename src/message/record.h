// Filling and releasing message records (the caller-owned XoltLogMsg).
#pragma once

#include <cstdint>
#include <optional>

#include "frame/library_lock.h"
#include "xoltlog/handle.h"
#include "xoltlog/message.h"

namespace xoltlog {

// What init_record zeroes: the whole record, or its fields only, for a
// record that never leaves the library and whose reserved bytes nobody
// reads (1.5 KiB less to clear on every message).
enum class RecordClearing { kWhole, kFields };

// Zeroes msg and fills it for handle; see xoltLogInitMsg. The handle is read
// (and its sequence counter advanced) under the held lock. file_product is
// the product of the handle's file writer, which the caller asks the writer
// for; nothing when the handle has none, and the record then carries
// neither product nor originator.
std::uint32_t init_record(const LibraryLockGuard& held, XoltLogMsg& msg, XoltLogHandle& handle,
                          std::uint32_t type, const char* text,
                          std::optional<std::uint32_t> file_product,
                          RecordClearing clearing = RecordClearing::kWhole) noexcept;
// Releases what msg owns and zeroes it; 1 when the Rir message could not be
// released. The record is the caller's alone: no lock is needed.
std::uint32_t free_record(XoltLogMsg& msg) noexcept;
// As free_record, but leaves msg as it was, its pointers dangling: for a
// record that goes out of scope right after.
std::uint32_t release_record(XoltLogMsg& msg) noexcept;

}  // namespace xoltlog
