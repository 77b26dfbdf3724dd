// Starting a writer's file: resuming the latest one, or a new one with its
// header. Called under the library lock.
#pragma once

#include <cstdint>

#include "writer/file_writer.h"
#include "xoltlog/access.h"

namespace xoltlog {

// Opens the file to resume (latest) or the writer's next new file, writing
// a header only into a file that is still empty. 0; 1 the directory, the
// host name or the header failed (the file may still be open); 51 path not
// found or access denied; 32 any other open failure.
std::uint32_t start_file(XoltLogFileWriter& writer, const XoltLogFileEntry* latest) noexcept;

// Closes the writer's current file; it then has none until the next start.
void close_current_file(XoltLogFileWriter& writer) noexcept;

}  // namespace xoltlog
