// The process's disk-full indication: 0 until a write fails for lack of
// space, then 54 (the disk-full result code) for the rest of the process.
#pragma once

#include <cstdint>

namespace xoltlog::platform {

std::uint32_t disk_full_indication() noexcept;
void note_disk_full() noexcept;

}  // namespace xoltlog::platform
