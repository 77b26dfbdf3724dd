// Attributes of message records: the setters, and the typed reading that the
// getters share.
#pragma once

#include <cstdint>

#include "xoltlog/message.h"

namespace xoltlog {

// Which message types a getter serves.
inline constexpr std::uint32_t kAnyMessageType = 0xFFFFFFFFu;

constexpr std::uint32_t message_type_bit(std::uint32_t type) noexcept {
  return type < 32 ? 1u << type : 0u;
}

constexpr bool serves_type(std::uint32_t allowed, std::uint32_t type) noexcept {
  return allowed == kAnyMessageType || (message_type_bit(type) & allowed) != 0;
}

// Stores reader(*msg) into *out: 3 when msg or out is null or the record's
// type is not among allowed (the caller's variable is then untouched).
template <typename T, typename Reader>
std::uint32_t read_attribute(const XoltLogMsg* msg, T* out, std::uint32_t allowed,
                             Reader reader) noexcept {
  if (msg == nullptr || out == nullptr || !serves_type(allowed, msg->type)) {
    return XOLTLOG_E_INVALID_ARG;
  }
  *out = reader(*msg);
  return XOLTLOG_OK;
}

// The title of a context record; 3 when msg is not a context message.
std::uint32_t context_attribute(const XoltLogMsg& msg, const char*& title) noexcept;

void set_severity(XoltLogMsg& msg, std::uint32_t severity) noexcept;
void set_who_and_severity(XoltLogMsg& msg, const char* who, std::uint32_t severity) noexcept;
void set_subject_and_outcome(XoltLogMsg& msg, const char* subject,
                             std::uint32_t outcome) noexcept;
// Replaces the context attribute with an owned copy: 4 when the copy fails.
std::uint32_t set_context_attribute(XoltLogMsg& msg, const char* title) noexcept;
// Stores who and level; 1 (stored anyway) for a level outside 1..6.
std::uint32_t set_who_and_level(XoltLogMsg& msg, const char* who, std::int32_t level) noexcept;
void set_secure_audit(XoltLogMsg& msg, std::uint32_t level, const char* subject,
                      std::uint32_t outcome) noexcept;

}  // namespace xoltlog
