// Starting a writer's file: resuming the latest one, or a new one with its
// header. Starting is split in two so that running out of memory changes
// nothing: planning allocates whatever the start needs and may throw
// std::bad_alloc (which the exported operation turns into its memory code),
// but touches no writer field and no file; opening allocates nothing.
// A rollover plans the next file before it leaves the current one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "frame/library_lock.h"
#include "logfile/file_names.h"
#include "xoltlog/access.h"
#include "xoltlog/platform.h"

struct XoltLogFileWriter;

namespace xoltlog {

// What opening a file needs, settled beforehand.
struct FilePlan {
  std::string path;
  std::int64_t now = 0;
  std::int64_t name_time = 0;  // a resumed logset file's time from its name
  FileDate date{};             // the date and day counter the writer takes on
  std::uint32_t day_counter = 0;
  // Reads the header of a file that exists already (too large for a stack).
  std::unique_ptr<XoltLogFileContext> reader;
};

// How a new ordinary file is named: the next day counter, or (for the
// ten-minute reopen) the current one again while the local day is the same.
enum class NextName { kAdvance, kSameDaySame };

// Plans the file to resume (latest) or the writer's next new file: 0, or 1
// when the host address or the local time cannot be had, or a logset writer
// has no set file name. Throws
// std::bad_alloc; the writer is left as it was either way.
std::uint32_t plan_file(const LibraryLockGuard& held, const XoltLogFileWriter& writer,
                        const XoltLogFileEntry* latest, NextName next, FilePlan& plan);

// Opens the planned file as the writer's current one (the caller closed the
// previous one), writing a header only into a file that is still empty. 0;
// 1 the directory, the host name or the header failed (the file may still be
// open); 51 path not found or access denied; 52 the open primitive's -8; 32
// any other open failure.
std::uint32_t open_planned_file(const LibraryLockGuard& held, XoltLogFileWriter& writer,
                                FilePlan& plan) noexcept;

// plan_file and open_planned_file in one; throws std::bad_alloc before
// anything is opened.
std::uint32_t start_file(const LibraryLockGuard& held, XoltLogFileWriter& writer,
                         const XoltLogFileEntry* latest);

// Closes the writer's current file; it then has none until the next start.
void close_current_file(const LibraryLockGuard& held, XoltLogFileWriter& writer) noexcept;

}  // namespace xoltlog
