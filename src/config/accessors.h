// The parts of the configuration accessors with rules of their own: owned
// texts, the log directory, the event source and the rollover mode texts.
// Configuration records are guarded by the library lock: whatever reads or
// changes one takes the held guard.
#pragma once

#include <cstdint>

#include "frame/library_lock.h"
#include "xoltlog/config.h"

namespace xoltlog {

// Replaces an owned text with a copy of value and marks bit: the old text is
// freed first, so a failed copy leaves the field null (result 4, bit still
// marked). An empty value is refused with 3 unless allow_empty.
std::uint32_t set_owned_text(const LibraryLockGuard& held, XoltLogCfg& cfg, char*& field,
                             const char* value, std::uint32_t bit, bool allow_empty) noexcept;

// A fresh copy of an owned text into *out: 0 with null for an unset field, 4
// when the copy fails.
std::uint32_t get_owned_text(const LibraryLockGuard& held, const char* field, char** out) noexcept;

// See xoltLogCfgSetDirectory.
std::uint32_t set_directory(const LibraryLockGuard& held, XoltLogCfg& cfg, const char* directory,
                            char* destination) noexcept;

// Copies at most 79 characters of source, terminated; 3 for an empty one.
std::uint32_t set_event_source(const LibraryLockGuard& held, XoltLogCfg& cfg,
                               const char* source) noexcept;

// The event source setting's own helpers, which start it afresh: the setting
// is zeroed (category 0) and takes at most 79 characters of name, so that
// the name stays terminated however long the given one is. No mask bit is
// marked. -3 for a null name.
std::int32_t reset_event_source(const LibraryLockGuard& held, XoltLogEventSource& setting,
                                const char* name) noexcept;
// "Application", category 0.
void reset_event_source_to_default(const LibraryLockGuard& held,
                                   XoltLogEventSource& setting) noexcept;

// Sets or clears flag bits, marking mask bits (0 for none).
void switch_flag(const LibraryLockGuard& held, XoltLogCfg& cfg, std::uint32_t flag, bool on,
                 std::uint32_t mask) noexcept;

// Pure text work on the caller's buffer; no record is touched.
char* append_rollover_mode_text(std::int32_t mode, char* buffer) noexcept;
std::int32_t rollover_mode_of_text(const char* text) noexcept;

}  // namespace xoltlog
