// The file writer: the state behind one log file series, shared by the log
// handles and contexts that write through it. It belongs to the library;
// callers see only the opaque pointer in their handle. The open and write
// paths extend it with the directory, rollover settings and the open file.
#pragma once

#include <cstdint>

struct XoltLogFileWriter {
  std::uint32_t product_id_;
  std::uint32_t originator_id_;  // the file's originator
};
