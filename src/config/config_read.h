// Reading the configuration of one originator, or of one logset, of a
// registered product into a caller's record: the record starts from the
// initial values, takes the product's "Default" section (or "Default"
// logset) and then the section of its own.
//
// Both run under the library lock and may throw std::bad_alloc; the
// arguments are checked by the caller.
#pragma once

#include <cstdint>

#include "frame/library_lock.h"
#include "xoltlog/config.h"

namespace xoltlog {

// See xoltLogReadCfg.
std::uint32_t read_config(const LibraryLockGuard& held, std::uint32_t product,
                          std::uint32_t originator, XoltLogCfg& cfg);

// See xoltLogReadlogsetCfg.
std::uint32_t read_logset_config(const LibraryLockGuard& held, std::uint32_t product,
                                 const char* logset, XoltLogCfg& cfg);

// Initialises cfg, throwing std::bad_alloc when it cannot be.
void init_record(const LibraryLockGuard& held, XoltLogCfg& cfg, std::uint32_t product,
                 std::uint32_t originator, const char* logset);

}  // namespace xoltlog
