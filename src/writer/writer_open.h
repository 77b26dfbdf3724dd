// Connecting log handles to file writers and detaching them. Both run under
// the library lock, which their exported operations take.
#pragma once

#include <cstdint>

#include "frame/library_lock.h"
#include "xoltlog/config.h"
#include "xoltlog/handle.h"

namespace xoltlog {

// See xoltLogOpenFile; the handle must have a writer. Throws std::bad_alloc
// when the first file cannot be planned for want of memory (the handle is
// attached by then and is closed as usual).
std::uint32_t open_file(const LibraryLockGuard& held, XoltLogHandle& handle,
                        const XoltLogCfg& handle_cfg, const XoltLogCfg& file_cfg);
// See xoltLogCloseFile; the handle must have a writer.
std::uint32_t close_file(const LibraryLockGuard& held, XoltLogHandle& handle) noexcept;
// Starts the writer on its series' latest file, or a new one when there is
// none: 0, 4 or start_file's codes. Throws std::bad_alloc before opening.
std::uint32_t start_latest_or_new(const LibraryLockGuard& held, XoltLogFileWriter& writer);

// Pushes handle at the head of its writer's attached list: 3 without one.
std::uint32_t add_log_to_file(const LibraryLockGuard& held, XoltLogHandle* handle) noexcept;

}  // namespace xoltlog
