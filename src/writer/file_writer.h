// The file writer as the rest of the library sees it: an opaque structure
// behind the pointer in a log handle, made here and ended by the last
// handle's close. Its fields are private to writer/ (writer_state.h); other
// layers ask through these functions, under the library lock.
#pragma once

#include <cstdint>

#include "frame/library_lock.h"
#include "xoltlog/handle.h"

namespace xoltlog {

// A zeroed writer from allocate() with its file context closed, as a handle
// open gives each new handle; null when memory runs out. Nobody else can
// reach it yet, so it needs no lock.
XoltLogFileWriter* new_file_writer() noexcept;
// Closes the writer's file and releases it with everything it owns.
void free_file_writer(const LibraryLockGuard& held, XoltLogFileWriter* writer) noexcept;

// The product of the writer's series, which every record written through
// it carries.
std::uint32_t writer_product_id(const LibraryLockGuard& held,
                                const XoltLogFileWriter& writer) noexcept;
// When the writer's current file was started (seconds since 1970); 0 when
// it has not opened one yet.
std::int64_t writer_file_start_time(const LibraryLockGuard& held,
                                    const XoltLogFileWriter& writer) noexcept;

// The originator whose log file the writer's series is.
std::uint32_t writer_originator_id(const LibraryLockGuard& held,
                                   const XoltLogFileWriter& writer) noexcept;
// The most recently attached handle or context; the others follow through
// their next links. Null when nothing is attached.
XoltLogHandle* writer_attached(const LibraryLockGuard& held,
                               const XoltLogFileWriter& writer) noexcept;

// Releases both file security settings; files the writer starts afterwards
// get the default permissions.
void release_writer_security(const LibraryLockGuard& held, XoltLogFileWriter& writer) noexcept;
// Replaces each security setting that is given (non-null) by a copy of it;
// a null one keeps the writer's value. False, with both settings as they
// were, when a copy cannot be made.
bool replace_writer_security(const LibraryLockGuard& held, XoltLogFileWriter& writer,
                             const char* security, const char* second) noexcept;

}  // namespace xoltlog
