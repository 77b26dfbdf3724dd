// The platform's recursive mutual-exclusion object, living in caller storage
// (the public lock structure reserves XoltLogCriticalSection for it).
#pragma once

#include "xoltlog/frame.h"

namespace xoltlog::platform {

// Creates the object in storage; false when the platform refuses.
bool critical_section_init(XoltLogCriticalSection& storage) noexcept;
// Blocks until the calling thread holds it; re-entry by the holder succeeds.
void critical_section_enter(XoltLogCriticalSection& storage) noexcept;
void critical_section_leave(XoltLogCriticalSection& storage) noexcept;
// Destroys an object nobody holds.
void critical_section_destroy(XoltLogCriticalSection& storage) noexcept;

}  // namespace xoltlog::platform
