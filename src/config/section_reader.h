// Reading one section of a product's configuration into a record: the
// "Default" section or an originator's, and a logset's. A record read from
// two sections in a row inherits what the second one does not set.
//
// Both run under the library lock, which guards records, and may throw
// std::bad_alloc (the record then holds what was read so far).
#pragma once

#include <cstdint>
#include <string>

#include "frame/library_lock.h"
#include "xoltlog/config.h"

namespace xoltlog {

// Reads section ("Default" or an originator's decimal identifier) of the
// product configuration location into cfg and clears the change mask. A
// section that does not exist reads as empty. 0, or the result code of a
// section that cannot be opened for another reason.
std::uint32_t read_section(const LibraryLockGuard& held, const std::string& location,
                           const std::string& section, XoltLogCfg& cfg);

// Reads the section of logset (a bare logset name, "Default" for the
// product's default logset) into cfg, which becomes that logset's record,
// and clears the change mask. The count of the keys taken; 0 when the
// section does not exist or holds none of them.
std::uint32_t read_logset_section(const LibraryLockGuard& held, const std::string& location,
                                  const std::string& logset, XoltLogCfg& cfg);

// Whether the logset's section can be opened.
bool logset_section_exists(const std::string& location, const std::string& logset);

}  // namespace xoltlog
