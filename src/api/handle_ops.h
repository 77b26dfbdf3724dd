// The work behind the exported handle operations. Each takes the library
// lock itself, under the exported operation's name, for the steps that
// touch handles, writers or records; reading the store and connecting the
// writer go through the exported operations of the layers below, which
// take the (recursive) lock on their own.
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/library_lock.h"
#include "message/record.h"
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

// The handle fields that message calls read without the lock (levels,
// reload interval, last reload check) are read and written as relaxed
// atomics everywhere once the handle is open.
template <typename T>
std::atomic_ref<T> unlocked(T& field) noexcept {
  return std::atomic_ref<T>(field);
}

// The part of xoltDynaLoadConfig that runs once the reload interval is
// known to be set: reads the clock and reloads when the interval passed.
void reload_when_due(XoltLogHandle& handle) noexcept;

// See xoltDynaLoadConfig. Every debug and diagnostic message runs it, so
// the common case, reloading off, is one load inline and no clock read.
inline void dyna_load_config(XoltLogHandle& handle) noexcept {
  if (unlocked(handle.reload_interval).load(std::memory_order_relaxed) != 0) {
    reload_when_due(handle);
  }
}

// The debug filter: the reload check, then the level; true when a message
// of level is dropped.
inline bool debug_filtered(XoltLogHandle& handle, std::int32_t level) noexcept {
  dyna_load_config(handle);
  return level > unlocked(handle.debug_level).load(std::memory_order_relaxed);
}

// The same for diagnostic messages.
inline bool diag_filtered(XoltLogHandle& handle, std::int32_t level) noexcept {
  dyna_load_config(handle);
  return level > unlocked(handle.diag_level).load(std::memory_order_relaxed);
}
// See xoltReLoadCfg.
std::uint32_t reload_writer_config(XoltLogFileWriter& writer) noexcept;

// See xoltLogInitMsg; the record's product is that of the handle's writer.
std::uint32_t init_handle_record(const LibraryLockGuard& held, XoltLogMsg& msg,
                                 XoltLogHandle& handle, std::uint32_t type, const char* text,
                                 RecordClearing clearing = RecordClearing::kWhole) noexcept;

}  // namespace xoltlog
