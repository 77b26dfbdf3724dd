// The formatting library (xoltLogFormatMsg_3.so) as the outputs use it: a
// process-wide module slot, filled on the first use that needs it, and the
// call of its LogFormatMessage. The slot is guarded by the library lock.
#pragma once

#include <cstdint>

#include "frame/library_lock.h"
#include "platform/heap.h"
#include "xoltlog/handle.h"
#include "xoltlog/message.h"

namespace xoltlog {

inline constexpr char kFormatLibraryName[] = "xoltLogFormatMsg";
inline constexpr std::uint32_t kConsoleSelector = 0x700;
inline constexpr std::uint32_t kEventSelector = 0x600;

enum class FormatStatus {
  kFormatted,   // text holds the rendering
  kNoLibrary,   // the library cannot be loaded
  kNoFunction,  // it has no LogFormatMessage (and was unloaded again)
  kFailed,      // LogFormatMessage returned a nonzero status (in status)
};

struct FormattedText {
  FormatStatus status = FormatStatus::kNoLibrary;
  std::uint32_t code = 0;  // LogFormatMessage's status when kFailed
  BlockPtr<char> text;
};

// Renders msg with the library: the console form (no locale, no handle) or
// the event form (the process's locale and the handle).
FormattedText format_for_console(const LibraryLockGuard& held, const XoltLogHandle& handle,
                                 const XoltLogMsg& msg) noexcept;
FormattedText format_for_event(const LibraryLockGuard& held, const XoltLogHandle& handle,
                               const XoltLogMsg& msg) noexcept;

// Empties the slot (unloading the library); for tests that swap libraries.
void forget_format_library(const LibraryLockGuard& held) noexcept;

}  // namespace xoltlog
