// One key of a configuration section as the writers store it: its name, its
// bit in the change and removal masks, and how its value is taken from a
// record. Writing is incremental: for each key the removal mask wins, else
// the change mask asks for the value to be written, else the key is left as
// it is in the store.
//
// Everything here works on a record, so it runs under the library lock.
// Results are result codes (store results mapped); functions not marked
// noexcept may throw std::bad_alloc.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "frame/library_lock.h"
#include "xoltlog/config.h"
#include "xoltlog/property_store.h"

namespace xoltlog {

// The value of a key in the form the store keeps: a text (none for an
// owned text that is unset), a true/false value or a number.
struct KeyValue {
  enum class Type { kText, kBool, kNumber };
  Type type = Type::kText;
  std::optional<std::string> text;
  std::uint32_t number = 0;
};

struct SectionKey {
  const char* name;
  // One bit, or several for a key that any of them marks (AppMsgLogging).
  std::uint32_t bit;
  KeyValue (*value_of)(const XoltLogCfg& cfg);
};

enum class KeyAction { kLeave, kRemove, kWrite };

// Removal wins over change; a key marked in neither is left alone.
KeyAction action_for(const XoltLogCfg& cfg, std::uint32_t bit) noexcept;

// Removes or writes one key in the open section as its action says: 0, or
// the mapped store result. An unset text gives 3, a refused write 6, and
// the removal of a registry value that does not exist 1 (a store file
// treats that removal as done).
std::uint32_t apply_key(const LibraryLockGuard& held, XoltLogPropertyStore& section,
                        const XoltLogCfg& cfg, const SectionKey& key);

// The keys in order; the first failure ends the sequence with its result,
// keys before it staying written and keys after it untouched.
std::uint32_t apply_keys(const LibraryLockGuard& held, XoltLogPropertyStore& section,
                         const XoltLogCfg& cfg, std::span<const SectionKey> keys);

// Every key is attempted; failures are not reported.
void apply_keys_silently(const LibraryLockGuard& held, XoltLogPropertyStore& section,
                         const XoltLogCfg& cfg, std::span<const SectionKey> keys);

// The keys of each section kind, in the order they are written: the
// "Default" and originator sections; the logsets (without FileName, which
// has a rule of its own); and the event-log and security keys that both
// write silently after the others.
std::span<const SectionKey> product_section_keys() noexcept;
std::span<const SectionKey> logset_section_keys() noexcept;
std::span<const SectionKey> event_and_security_keys() noexcept;
const SectionKey& logset_file_name_key() noexcept;

}  // namespace xoltlog
