#include "message/record_attributes.h"

#include "platform/heap.h"

namespace xoltlog {
namespace {

constexpr std::int32_t kMinLevel = 1;
constexpr std::int32_t kMaxLevel = 6;

// The record's string fields are writable only because owned strings share
// them; borrowed ones are never written through.
char* as_field(const char* text) noexcept { return const_cast<char*>(text); }

void set_number_attribute(XoltLogMsg& msg, std::uint32_t value) noexcept {
  msg.attr.raw = 0;
  msg.attr.severity = value;
}

}  // namespace

std::uint32_t context_attribute(const XoltLogMsg& msg, const char*& title) noexcept {
  if (msg.type != XOLTLOG_MSG_CONTEXT) {
    return XOLTLOG_E_INVALID_ARG;
  }
  title = msg.attr.context_attr;
  return XOLTLOG_OK;
}

void set_severity(XoltLogMsg& msg, std::uint32_t severity) noexcept {
  set_number_attribute(msg, severity);
}

void set_who_and_severity(XoltLogMsg& msg, const char* who, std::uint32_t severity) noexcept {
  msg.who_or_subject = as_field(who);
  set_number_attribute(msg, severity);
}

void set_subject_and_outcome(XoltLogMsg& msg, const char* subject,
                             std::uint32_t outcome) noexcept {
  msg.who_or_subject = as_field(subject);
  msg.outcome = outcome;
}

std::uint32_t set_context_attribute(XoltLogMsg& msg, const char* title) noexcept {
  char* copy = duplicate_string(title);
  if (copy == nullptr) {
    return XOLTLOG_E_NO_MEMORY;
  }
  // Only a context record's slot holds a string it owns; any other record
  // keeps a number there that must not be freed.
  if (msg.type == XOLTLOG_MSG_CONTEXT) {
    release(msg.attr.context_attr);
  }
  msg.attr.context_attr = copy;
  return XOLTLOG_OK;
}

std::uint32_t set_who_and_level(XoltLogMsg& msg, const char* who, std::int32_t level) noexcept {
  msg.who_or_subject = as_field(who);
  msg.attr.raw = 0;
  msg.attr.level = level;
  return level >= kMinLevel && level <= kMaxLevel ? XOLTLOG_OK : XOLTLOG_E_FAILED;
}

void set_secure_audit(XoltLogMsg& msg, std::uint32_t level, const char* subject,
                      std::uint32_t outcome) noexcept {
  set_number_attribute(msg, level);
  set_subject_and_outcome(msg, subject, outcome);
}

}  // namespace xoltlog
