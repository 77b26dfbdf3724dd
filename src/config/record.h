// The configuration record's life: initial values, copies and release. Every
// operation runs under the library lock, which guards configuration records.
#pragma once

#include <cstdint>

#include "frame/library_lock.h"
#include "xoltlog/config.h"

namespace xoltlog {

inline constexpr std::uint32_t kDefaultMaxFileSizeKb = 10240;
inline constexpr std::uint64_t kDefaultRolloverPeriod = 43200;
inline constexpr std::uint32_t kAllLogFiles = 0xFFFFFFFFu;
inline constexpr const char* kDefaultEventSource = "Application";

// Zeroes cfg and gives it the initial values; a logset name makes it a
// logset record (the name copied as logset name and as logset file name).
// 3 for a null record, 4 when a copy cannot be made (the record is then
// released again).
std::uint32_t init_config(const LibraryLockGuard& held, XoltLogCfg* cfg, std::uint32_t product,
                          std::uint32_t originator, const char* logset_name) noexcept;

// Zeroes destination and copies what a handle or writer takes from a
// record: not log recycling, the event category, the secure-audit level,
// the logset fields, the OID lists or the masks. 3 for null, 4 when a copy
// cannot be made (destination is then released again).
std::uint32_t copy_config(const LibraryLockGuard& held, XoltLogCfg* destination,
                          const XoltLogCfg* source) noexcept;

// Releases the owned texts and zeroes the record.
void free_config(const LibraryLockGuard& held, XoltLogCfg& cfg) noexcept;

// Stores a fresh copy of source in *text without freeing what was there:
// 0, or 0xFFFFFFFF for a null argument or a failed copy.
std::uint32_t copy_file_security(const LibraryLockGuard& held, char** text,
                                 const char* source) noexcept;

}  // namespace xoltlog
