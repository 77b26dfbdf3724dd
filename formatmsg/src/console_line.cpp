#include "console_line.h"

#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace xoltlog::fmt {
namespace {

constexpr std::string_view kRed = "\x1b[31m";
constexpr std::string_view kYellow = "\x1b[33m";
constexpr std::string_view kGreen = "\x1b[32m";
constexpr std::string_view kDim = "\x1b[2m";
constexpr std::string_view kReset = "\x1b[0m";
constexpr std::int64_t kMsPerSecond = 1000;

void append_escaped_byte(std::string& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\x";
  out.push_back(kHex[byte >> 4]);
  out.push_back(kHex[byte & 0xF]);
}

// Length of the valid UTF-8 sequence at text[0], or 0 when it is not one
// (overlong forms, surrogates and values above U+10FFFF included).
std::size_t utf8_length(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = 0;
  char32_t value = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07u;
  } else {
    return 0;
  }
  if (text.size() < length) {
    return 0;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) {
      return 0;
    }
    value = (value << 6) | (next & 0x3Fu);
  }
  const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
  const bool invalid = (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF;
  return overlong || invalid ? 0 : length;
}

void append_time(std::string& out, std::int64_t timestamp_ms) {
  std::int64_t seconds = timestamp_ms / kMsPerSecond;
  std::int64_t millis = timestamp_ms % kMsPerSecond;
  if (millis < 0) {
    millis += kMsPerSecond, --seconds;
  }
  const auto value = static_cast<std::time_t>(seconds);
  std::tm parts{};
  char buffer[48];
  if (localtime_r(&value, &parts) == nullptr ||
      std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &parts) == 0) {
    std::snprintf(buffer, sizeof buffer, "@%" PRId64, seconds);
  }
  out += buffer;
  std::snprintf(buffer, sizeof buffer, ".%03d", static_cast<int>(millis));
  out += buffer;
}

std::string_view outcome_text(std::uint32_t outcome) {
  return outcome == 0 ? "success" : "failure";
}

// The kind with its qualifier, and the colour that says how grave it is.
std::string_view kind(const XoltLogMsg& msg, std::string& label) {
  switch (msg.type) {
    case XOLTLOG_MSG_DEBUG:
    case XOLTLOG_MSG_DIAG:
      label = (msg.type == XOLTLOG_MSG_DEBUG ? "debug/" : "diag/") + std::to_string(msg.attr.level);
      return kDim;
    case XOLTLOG_MSG_APP: {
      const std::uint32_t severity = msg.attr.severity;
      if (severity == 0) {
        label = "app/info";
        return kGreen;
      }
      if (severity == 1) {
        label = "app/warning";
        return kYellow;
      }
      label = severity <= 4 ? "app/error" : "app/sev" + std::to_string(severity);
      return kRed;
    }
    case XOLTLOG_MSG_CONTEXT:
      label = "context";
      return kDim;
    case XOLTLOG_MSG_AUDIT:
      label = "audit/" + std::string(outcome_text(msg.outcome));
      return msg.outcome == 0 ? kGreen : kRed;
    case XOLTLOG_MSG_SECURE_AUDIT:
      label = "secaudit/" + std::to_string(msg.attr.severity) + "/" +
              std::string(outcome_text(msg.outcome));
      return msg.outcome == 0 ? kGreen : kRed;
    default:
      label = "type" + std::to_string(msg.type);
      return {};
  }
}

// Who or subject; a context message shows its context attribute (its
// title) in that place instead.
const char* who_or_subject(const XoltLogMsg& msg) {
  return msg.type == XOLTLOG_MSG_CONTEXT ? msg.attr.context_attr : msg.who_or_subject;
}

}  // namespace

Colour console_colour() {
  const char* no_colour = std::getenv("NO_COLOR");
  if (no_colour != nullptr && no_colour[0] != '\0') {
    return Colour::kNone;
  }
  const char* term = std::getenv("TERM");
  if (term != nullptr && std::strcmp(term, "dumb") == 0) {
    return Colour::kNone;
  }
  return isatty(STDOUT_FILENO) == 1 && isatty(STDERR_FILENO) == 1 ? Colour::kAnsi : Colour::kNone;
}

void append_one_line(std::string& out, std::string_view text) {
  while (!text.empty()) {
    const auto byte = static_cast<unsigned char>(text[0]);
    std::size_t used = 1;
    if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\r') {
      out += "\\r";
    } else if (byte == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      append_escaped_byte(out, byte);
    } else if (byte < 0x80) {
      out.push_back(static_cast<char>(byte));
    } else if ((used = utf8_length(text)) != 0) {
      out.append(text.substr(0, used));
    } else {
      used = 1;
      append_escaped_byte(out, byte);
    }
    text.remove_prefix(used);
  }
}

std::string console_line(const XoltLogMsg& msg, std::string_view text, Colour colour) {
  std::string line;
  line.reserve(64 + text.size());
  append_time(line, msg.timestamp_ms);
  line.push_back(' ');
  std::string label;
  const std::string_view tint = kind(msg, label);
  const bool tinted = colour == Colour::kAnsi && !tint.empty();
  line += tinted ? tint : std::string_view{};
  line += label;
  line += tinted ? kReset : std::string_view{};
  line += ' ' + std::to_string(msg.product_id) + '/' + std::to_string(msg.originator_id);
  if (const char* who = who_or_subject(msg); who != nullptr && who[0] != '\0') {
    line.push_back(' ');
    append_one_line(line, who);
  }
  if (msg.context_token != nullptr && msg.context_token[0] != '\0') {
    line += " [";
    append_one_line(line, msg.context_token);
    line.push_back(']');
  }
  line.push_back(' ');
  append_one_line(line, text);
  return line;
}

}  // namespace xoltlog::fmt
