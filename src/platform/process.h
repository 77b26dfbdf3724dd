// Identifiers of the calling process and thread.
#pragma once

#include <cstdint>

namespace xoltlog::platform {

std::uint32_t current_process_id() noexcept;
std::uint32_t current_thread_id() noexcept;

}  // namespace xoltlog::platform
