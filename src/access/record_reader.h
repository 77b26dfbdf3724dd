// Cutting the record lines of a log file out of its context's read buffer.
// A file context and a text buffer are used by one thread at a time; no
// lock is taken.
#pragma once

#include <cstdint>

#include "xoltlog/platform.h"
#include "xoltlog/record_format.h"

namespace xoltlog {

// Appends the next line of the file to buffer (initialized by the caller),
// refilling the read buffer with one platform read at a time: 1 a line,
// which stands NUL-terminated in place of its line feed where it was
// appended, carriage returns stored as line feeds; 0 end of file, an
// unterminated last line included; -1 a read failure (read position -1) or
// a failed growth (buffer then released and empty). A read position or
// byte count that cannot describe the read buffer counts as nothing
// buffered.
std::int32_t read_record(XoltLogFileContext& file, XoltLogTextMsg& buffer) noexcept;

}  // namespace xoltlog
