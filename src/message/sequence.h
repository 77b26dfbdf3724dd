// Per-handle message sequence numbers.
#pragma once

#include <cstdint>

#include "frame/library_lock.h"
#include "xoltlog/handle.h"

namespace xoltlog {

// Gives out the handle's counter and advances it modulo 2^32.
std::uint32_t next_sequence_number(const LibraryLockGuard& held, XoltLogHandle& handle) noexcept;

}  // namespace xoltlog
