// Per-handle message sequence numbers.
#pragma once

#include <cstdint>

#include "xoltlog/handle.h"

namespace xoltlog {

// Gives out the handle's counter and advances it modulo 2^32, under the
// library lock; 0 for a null handle.
std::uint32_t next_sequence_number(XoltLogHandle* handle) noexcept;

}  // namespace xoltlog
