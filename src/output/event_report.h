// One message as an event: its insertion strings, and the report through
// the handle's event-log connection. Under the library lock.
#pragma once

#include <cstdint>

#include "frame/library_lock.h"
#include "xoltlog/handle.h"
#include "xoltlog/message.h"

namespace xoltlog {

// Reports msg (an application or secure-audit message) through the
// handle's connection: a catalog message with one insertion string per
// argument, a printf-style one with its event text; with show_origin the
// identification string joins them. 0, -1 when the event could not be
// made or delivered, 1 when a printf-style text has no wide form.
std::int32_t report_message(const LibraryLockGuard& held, XoltLogHandle& handle,
                            const XoltLogMsg& msg, bool show_origin) noexcept;

}  // namespace xoltlog
