// Filling and releasing message records (the caller-owned XoltLogMsg).
#pragma once

#include <cstdint>

#include "xoltlog/handle.h"
#include "xoltlog/message.h"

namespace xoltlog {

// Zeroes msg and fills it for handle; see xoltLogInitMsg. Both are required.
std::uint32_t init_record(XoltLogMsg& msg, XoltLogHandle& handle, std::uint32_t type,
                          const char* text) noexcept;
// Releases what msg owns and zeroes it; 1 when the Rir message could not be
// released.
std::uint32_t free_record(XoltLogMsg& msg) noexcept;

}  // namespace xoltlog
