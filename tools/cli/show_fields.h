// What a record shows in both output forms, and the raw writes both use:
// bytes and numbers put at a cursor that has room for them, the kind and
// grade by name. Shared by the text and JSON renderers of xoltlog show.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "cli/show_scan.h"

namespace xoltlog::tool {

// Room a number takes at most.
inline constexpr std::size_t kNumberRoom = 24;

inline char* put(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

template <typename Number>
inline char* put_number(char* out, Number value) {
  return std::to_chars(out, out + kNumberRoom, value).ptr;
}

// The grade as collectors name it: debug, info, warning, error.
inline std::string_view level_name(const RecordView& view) {
  switch (view.type) {
    case XOLTLOG_MSG_DEBUG:
    case XOLTLOG_MSG_DIAG: return "debug";
    case XOLTLOG_MSG_APP: return view.number == 0 ? "info" : view.number == 1 ? "warning" : "error";
    case XOLTLOG_MSG_AUDIT: return view.number == 0 ? "info" : "warning";
    default: return "info";
  }
}

// An application record's severity: information, warning, error.
inline std::string_view severity_name(std::int32_t severity) {
  return severity == 0 ? "information" : severity == 1 ? "warning" : "error";
}

// The kind's name, as JSON's "kind".
inline std::string_view kind_name(std::uint32_t type) {
  switch (type) {
    case XOLTLOG_MSG_DEBUG: return "debug";
    case XOLTLOG_MSG_DIAG: return "diagnostic";
    case XOLTLOG_MSG_APP: return "application";
    case XOLTLOG_MSG_CONTEXT: return "context";
    case XOLTLOG_MSG_AUDIT: return "audit";
    default: return "unknown";
  }
}

}  // namespace xoltlog::tool
