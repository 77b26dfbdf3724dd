// Work that layers above the writer do when it changes files: re-writing
// the live contexts into a new file, and deleting surplus files after a
// rollover. The writer calls them under the library lock, whose guard it
// passes on; they must not throw. Until they are installed, a writer
// re-writes no context and deletes no file.
#pragma once

#include "frame/library_lock.h"

struct XoltLogFileWriter;

namespace xoltlog {

using WriterHook = void (*)(const LibraryLockGuard& held, XoltLogFileWriter& writer) noexcept;

struct WriterHooks {
  WriterHook rewrite_contexts;  // after a rollover or reopen into another file
  WriterHook recycle;           // after a rollover, when the writer recycles
};

// Each layer installs its own hook once, at start-up (from a static
// initialiser of the object file that makes the hook's work possible), so
// the hook is in place before any writer could need it.
void install_rewrite_contexts_hook(WriterHook hook) noexcept;
void install_recycle_hook(WriterHook hook) noexcept;
const WriterHooks& writer_hooks() noexcept;

}  // namespace xoltlog
