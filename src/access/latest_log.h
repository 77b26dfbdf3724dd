// The search for a writer's latest log file, with which a writer continues
// its newest file instead of starting a new one. No lock is taken; the
// searches touch only the directory and the caller's entry pointer.
#pragma once

#include <cstdint>

#include "xoltlog/access.h"

namespace xoltlog {

// The newest ordinary log file in directory of product and originator
// written from this host: the greatest date, then the greatest day counter,
// the first listed on a full tie. 1 with a new entry (from allocate()) in
// entry; 0 with entry untouched when there is none or this host's address
// number cannot be had; 0 with entry null when memory is exhausted.
std::uint8_t find_latest_log(const char* directory, std::uint32_t product_id,
                             std::uint32_t originator_id, XoltLogFileEntry*& entry) noexcept;

// The newest logset file of product and set file name, by the local date
// and time in its name (the first listed on a tie), with that time in the
// entry. A name that carries the product and set prefix but does not parse
// ends the search with none found. Results as find_latest_log.
std::uint8_t find_latest_logset(const char* directory, std::uint32_t product_id,
                                const char* set_file_name, XoltLogFileEntry*& entry) noexcept;

}  // namespace xoltlog
