// Writing a configuration record back to the store: the product writer for
// the "Default" section and the originator sections, the logset writer for
// the logsets. Only keys marked in the record's change mask are written and
// keys marked in its removal mask are removed (key_writer.h); nothing is
// rolled back when a key fails.
//
// Everything runs under the library lock, which the caller holds for the
// whole write. Results are result codes; each may throw std::bad_alloc.
#pragma once

#include <cstdint>
#include <string>

#include "frame/library_lock.h"
#include "xoltlog/config.h"

namespace xoltlog {

// Opens, or creates, section at the product configuration location and
// goes through the product keys, then the event-log and security keys.
// 0 when written (also when nothing was marked); 1 when the section cannot
// be opened or created; else the first failing key's result.
std::uint32_t write_product_section(const LibraryLockGuard& held, const std::string& location,
                                    const std::string& section, const XoltLogCfg& cfg);

// The same for the logset whose section name is given. FileName is never
// removed: asking for that gives 61, after every other marked key has been
// written.
std::uint32_t write_logset_section(const LibraryLockGuard& held, const std::string& location,
                                   const std::string& section, const XoltLogCfg& cfg);

// xoltLogWriteCfg after its argument checks: the "Default" section for the
// default originator, else the originator's; 6 when the product is not
// registered.
std::uint32_t write_config(const LibraryLockGuard& held, std::uint32_t product,
                           std::uint32_t originator, const XoltLogCfg& cfg);

// xoltLogWritelogSetCfg after its argument checks: 6 when the product is not
// registered, 61 without a marked key (nothing is opened).
std::uint32_t write_logset_config(const LibraryLockGuard& held, std::uint32_t product,
                                  const char* logset, const XoltLogCfg& cfg);

}  // namespace xoltlog
