// The header of a new log file, filled from its creation time, the time zone
// and the host name. The file writer formats it as the first line that the
// platform writes only into a file that is still empty.
#pragma once

#include <cstdint>

#include "logfile/header_line.h"
#include "xoltlog/access.h"

namespace xoltlog {

// The header of a file created at now, which the caller read from the clock
// once for the file's name and its header alike. False when the host name
// cannot be had: the header is filled all the same, with an empty host name,
// and the caller decides whether that matters.
bool fill_new_header(XoltLogHeader& header, const HeaderOrigin& origin,
                     std::int64_t now) noexcept;

}  // namespace xoltlog
