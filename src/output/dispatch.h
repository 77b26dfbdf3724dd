// The outputs beside the log file for one message of a handle: standard
// output, standard error and the event log, chosen by the handle's flags
// together with the call's. Runs under the library lock, which guards the
// handle, its event-log connection and the formatting library's slot.
#pragma once

#include <cstdint>

#include "frame/library_lock.h"
#include "platform/heap.h"
#include "xoltlog/handle.h"
#include "xoltlog/message.h"

namespace xoltlog {

// Console output when flag 1 is set, or flag 2 for a diagnostic or
// application message; then, with flag 4, an event-log report of an
// application message (its outcome dropped) or a secure-audit message. The
// console's result (0, or the formatting library's nonzero status), or for
// a secure-audit message the report's: 0, or all ones when it failed.
std::uint32_t dispatch_outputs(const LibraryLockGuard& held, XoltLogHandle& handle,
                               const XoltLogMsg& msg, std::uint32_t flags) noexcept;

// The event type of an application message (by severity) or a secure-audit
// message (by outcome).
std::uint16_t event_type_of(const XoltLogMsg& msg) noexcept;

// The identification string of flag 64, ending in a space: product and
// originator of the handle's configuration copy, the message's sequence,
// process and thread, context token, who or subject and outcome. Null when
// memory runs out.
BlockPtr<char> identification_of(const XoltLogHandle& handle, const XoltLogMsg& msg) noexcept;

}  // namespace xoltlog
