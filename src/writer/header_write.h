// The header of a new log file: filled from the clock, the time zone and the
// host name, and appended as the file's first line. The file writer calls
// these under the library lock, only for a file its open just created.
#pragma once

#include <cstdint>

#include "writer/header_line.h"
#include "xoltlog/access.h"
#include "xoltlog/platform.h"

namespace xoltlog {

// The header of a file created now. False when the host name cannot be had:
// the header is filled all the same, with an empty host name, and the
// caller decides whether that matters.
bool fill_new_header(XoltLogHeader& header, const HeaderOrigin& origin) noexcept;
// The same for a file created at now, which the caller read from the clock
// once for the file's name and its header alike.
bool fill_new_header(XoltLogHeader& header, const HeaderOrigin& origin,
                     std::int64_t now) noexcept;

// Appends the header's line to a file open for appending: 0, or 1 when the
// version has no header line or the append fails. The file stays open
// either way.
std::uint32_t write_header(XoltLogFileContext& file, const XoltLogHeader& header) noexcept;

}  // namespace xoltlog
