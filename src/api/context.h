// Contexts: a titled record that a file writer re-writes at the top of
// every new file while the context lives. The builders run outside the
// library lock but for the sequence number; attaching, re-writing and
// detaching run under it.
#pragma once

#include <cstdarg>
#include <cstdint>

#include "frame/library_lock.h"
#include "xoltlog/handle.h"
#include "xoltlog/message.h"

namespace xoltlog {

// Steps 2a to 2e of xoltLogCreateContext: the context record is built in
// context.context_record. On failure the record is released again.
std::uint32_t build_context_record(XoltLogHandle& parent, XoltLogHandle& context, const char* title,
                                   std::uint32_t id, const char* format, va_list args) noexcept;

// See xoltLogCreateContextToFile.
std::uint32_t attach_context(const LibraryLockGuard& held, XoltLogHandle& parent,
                             XoltLogHandle& context, XoltLogMsg& record) noexcept;

// See xoltLogDestroyContext.
std::uint32_t destroy_context(const LibraryLockGuard& held, XoltLogHandle& context) noexcept;

// Whether handle is on the attached list of parent's writer: storage that
// is must not be made a context again, or the list would loop.
bool attached_to_writer_of(const LibraryLockGuard& held, const XoltLogHandle& parent,
                           const XoltLogHandle& handle) noexcept;

// The writer's hook: the records of the live contexts attached to writer,
// most recently attached first, into its current file.
void rewrite_live_contexts(const LibraryLockGuard& held, XoltLogFileWriter& writer) noexcept;

// A handle about to be closed takes back what its contexts share with it
// (the configuration copy and the event-log connection), so that a context
// outliving it never reaches them.
void withdraw_shared_from_contexts(const LibraryLockGuard& held, XoltLogHandle& parent) noexcept;

}  // namespace xoltlog
