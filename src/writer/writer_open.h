// Connecting log handles to file writers and detaching them. The handle
// operations take the library lock themselves.
#pragma once

#include <cstdint>

#include "xoltlog/config.h"
#include "xoltlog/handle.h"

namespace xoltlog {

// See xoltLogOpenFile.
std::uint32_t open_file(XoltLogHandle& handle, const XoltLogCfg& handle_cfg,
                        const XoltLogCfg& file_cfg) noexcept;
// See xoltLogCloseFile; the handle must have a writer.
std::uint32_t close_file(XoltLogHandle& handle) noexcept;
// Pushes handle at the head of its writer's attached list: 3 without one.
std::uint32_t add_log_to_file(XoltLogHandle* handle) noexcept;

}  // namespace xoltlog
