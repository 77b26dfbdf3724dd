// Work that the layer above the writer does when it changes files:
// re-writing the live contexts into a new file. The writer calls the hook
// under the library lock, whose guard it passes on; it must not throw.
// Until it is installed, a writer re-writes no context.
#pragma once

#include "frame/library_lock.h"

struct XoltLogFileWriter;

namespace xoltlog {

using WriterHook = void (*)(const LibraryLockGuard& held, XoltLogFileWriter& writer) noexcept;

struct WriterHooks {
  WriterHook rewrite_contexts;  // after a rollover or reopen into another file
};

// Installed once, at start-up (from a static initialiser of the object
// file that makes contexts possible), so the hook is in place before any
// writer could need it.
void install_rewrite_contexts_hook(WriterHook hook) noexcept;
const WriterHooks& writer_hooks() noexcept;

}  // namespace xoltlog
