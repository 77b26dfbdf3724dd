// The work behind the exported handle operations. Each takes the library
// lock itself, under the exported operation's name, for the steps that
// touch handles, writers or records; reading the store and connecting the
// writer go through the exported operations of the layers below, which
// take the (recursive) lock on their own.
#pragma once

#include <cstdint>

#include "frame/library_lock.h"
#include "xoltlog/config.h"
#include "xoltlog/handle.h"
#include "xoltlog/message.h"

namespace xoltlog {

// See xoltLogOpen2; the arguments are checked.
std::uint32_t open_handle(std::uint32_t product, std::uint32_t originator,
                          std::uint32_t file_originator, XoltLogHandle& handle) noexcept;
// See xoltLogSecureOpen; the arguments are checked.
std::uint32_t open_secure_handle(std::uint32_t product, std::uint32_t originator, XoltLogCfg& cfg,
                                 XoltLogHandle& handle) noexcept;
// See xoltLogClose.
std::uint32_t close_handle(XoltLogHandle& handle) noexcept;

// See xoltDynaLoadConfig.
void dyna_load_config(XoltLogHandle& handle) noexcept;
// See xoltReLoadCfg.
std::uint32_t reload_writer_config(XoltLogFileWriter& writer) noexcept;

// See xoltLogInitMsg; the record's product is that of the handle's writer.
std::uint32_t init_handle_record(const LibraryLockGuard& held, XoltLogMsg& msg,
                                 XoltLogHandle& handle, std::uint32_t type,
                                 const char* text) noexcept;

}  // namespace xoltlog
