// Reading the header line of a log file that was just opened for reading.
// The header's own text buffer lives and dies inside each call; the file
// context is used by one thread at a time and no lock is taken.
#pragma once

#include <cstdint>

#include "xoltlog/access.h"
#include "xoltlog/platform.h"

namespace xoltlog {

// Clears header, drops whatever the context had buffered and parses the
// file's next line (its first, right after opening): 0; 1 no line, a read
// or memory failure, or a first word other than "$Header"; 48 a version
// without a header format. Afterwards the next record read delivers the
// line behind the header.
std::uint32_t read_file_header(XoltLogFileContext& file, XoltLogHeader& header) noexcept;

// The same through the entry's file, except that header is cleared only
// once a line was read (untouched when there is none). The entry's header
// offset becomes -1 with that line; on 0 the entry takes the header
// version, and for the ordinary and logset versions the header's offset.
std::uint32_t read_entry_header(XoltLogFileEntry& entry, XoltLogHeader& header) noexcept;

}  // namespace xoltlog
