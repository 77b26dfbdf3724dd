// A text file read line by line. The reader keeps its own buffer and its
// place in the file, so a caller may stop after any line and go on from
// there later (the store enumerations do). One thread uses a file at a
// time.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

namespace xoltlog::platform {

class LineFile;

struct CloseLineFile {
  void operator()(LineFile* file) const noexcept;
};
using LineFilePtr = std::unique_ptr<LineFile, CloseLineFile>;

// An existing regular file opened for reading, not inherited by child
// processes; null (errno set) otherwise, a directory included. May throw
// std::bad_alloc.
LineFilePtr open_line_file(const char* path);
// Makes file read the file now at path, from its first line, without
// allocating (so a file just replaced can always be read again, memory
// permitting or not); false, file unchanged, when path cannot be opened.
bool reopen_line_file(LineFile& file, const char* path) noexcept;

// The next line without its "\n" or "\r\n", valid until the next call on
// file; none at the end of the file or when reading fails. Lines may be of
// any length: a longer one than any before may throw std::bad_alloc.
std::optional<std::string_view> read_line(LineFile& file);
// True when the last read_line ended on a failed read, not the file's end.
bool read_failed(const LineFile& file) noexcept;
// Back to the first line: false when the file cannot be rewound.
bool rewind_line_file(LineFile& file) noexcept;

// True when path names the very file that file reads, unchanged since it
// was opened: false after the file at path has been replaced by another
// one, or changed in place.
bool is_same_file(const LineFile& file, const char* path) noexcept;

}  // namespace xoltlog::platform
