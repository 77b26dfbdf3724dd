#include "cli/show_render.h"

#include <charconv>
#include <cstdio>
#include <ctime>

#include "format_message.h"
#include <nlohmann/json.hpp>

namespace xoltlog::tool {
namespace {

constexpr std::int64_t kMsPerSecond = 1000;

template <typename Number>
void append_number(std::string& out, Number value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

// Skips "N:<N bytes>," at pos; false when the line holds no such field.
bool skip_string_field(std::string_view line, std::size_t& pos) {
  std::uint64_t count = 0;
  const auto [end, error] = std::from_chars(line.data() + pos, line.data() + line.size(), count);
  pos = static_cast<std::size_t>(end - line.data());
  if (error != std::errc() || pos >= line.size() || line[pos] != ':' ||
      count > line.size() - pos - 1) {
    return false;
  }
  pos += 1 + count;
  return pos < line.size() && line[pos++] == ',';
}

bool skip_number_field(std::string_view line, std::size_t& pos) {
  const std::size_t comma = line.find(',', pos);
  if (comma == std::string_view::npos) return false;
  pos = comma + 1;
  return true;
}

// Length of the well-formed UTF-8 sequence at text[0]; 0 when it is none.
std::size_t utf8_length(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = 0;
  std::uint32_t value = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07u;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return 0;
    value = (value << 6) | (next & 0x3Fu);
  }
  const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
  const bool invalid = (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF;
  return overlong || invalid ? 0 : length;
}

// Appends text so that it stays on one line and shows every byte: control
// characters and bytes that are not UTF-8 as escapes.
void append_printable(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  while (!text.empty()) {
    std::size_t plain = 0;
    while (plain < text.size()) {
      const auto byte = static_cast<unsigned char>(text[plain]);
      if (byte < 0x20 || byte >= 0x7F || byte == '\\') break;
      ++plain;
    }
    out.append(text.data(), plain);
    text.remove_prefix(plain);
    if (text.empty()) break;
    const auto byte = static_cast<unsigned char>(text[0]);
    const std::size_t sequence = byte >= 0x80 ? utf8_length(text) : 0;
    if (sequence > 0) {
      out.append(text.data(), sequence);
      text.remove_prefix(sequence);
      continue;
    }
    if (byte == '\\') {
      out += "\\\\";
    } else if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\t') {
      out += "\\t";
    } else {
      out += "\\x";
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0xF]);
    }
    text.remove_prefix(1);
  }
}

std::string_view who_of(const XoltLogMsg& msg) {
  const char* who = msg.type == XOLTLOG_MSG_CONTEXT ? msg.attr.context_attr : msg.who_or_subject;
  return who != nullptr ? who : "";
}

std::string_view context_of(const XoltLogMsg& msg) {
  return msg.context_token != nullptr ? msg.context_token : "";
}

}  // namespace

MessageText::MessageText() {
  if (SharedLibLoad(&module_, "xoltLogFormatMsg", nullptr) == 0 &&
      (SharedLibResolveFunc(module_, "LogFormatMessage", &format_) != 0 || format_ == nullptr)) {
    SharedLibUnload(module_);
    module_ = nullptr;
    format_ = nullptr;
  }
}

MessageText::~MessageText() {
  if (module_ != nullptr) SharedLibUnload(module_);
}

std::string_view MessageText::of(const XoltLogMsg& msg, std::string_view line) {
  if (msg.rir.id == 0) return msg.text != nullptr ? msg.text : "";
  if (format_ != nullptr) {
    char* text = nullptr;
    const auto format = reinterpret_cast<XoltLogFormatMessageFn>(format_);
    // The library renders the catalog message only for a record without
    // text; a parsed record's text is an empty string instead. The copy
    // borrows everything and is never freed.
    XoltLogMsg borrowed = msg;
    if (borrowed.text != nullptr && borrowed.text[0] == '\0') borrowed.text = nullptr;
    if (format(nullptr, 0, nullptr, 0, XOLTLOG_FORMAT_EVENT, 0, &borrowed, nullptr, &text) == 0 &&
        text != nullptr) {
      scratch_.assign(text);
      xoltLogFree(text);
      return scratch_;
    }
  }
  scratch_.assign(msg.text != nullptr ? msg.text : "");
  if (!scratch_.empty()) scratch_ += ' ';
  scratch_ += argument_list(line, msg.record_version, msg.type);
  return scratch_;
}

std::string_view argument_list(std::string_view line, std::uint32_t version, std::uint32_t type) {
  std::size_t pos = 0;
  const int numbers = version == XOLTLOG_HEADER_VERSION_LOGSET ? 6 : 8;
  for (int field = 0; field < numbers; ++field) {
    if (!skip_number_field(line, pos)) return {};
  }
  // Context token, text, then who, subject or the context's attribute.
  for (int field = 0; field < 3; ++field) {
    if (!skip_string_field(line, pos)) return {};
  }
  if (type == XOLTLOG_MSG_DEBUG) return {};
  if (type != XOLTLOG_MSG_CONTEXT && !skip_number_field(line, pos)) return {};
  return pos < line.size() && line[pos] == '(' ? line.substr(pos) : std::string_view{};
}

std::string_view kind_name(std::uint32_t type) {
  switch (type) {
    case XOLTLOG_MSG_DEBUG: return "debug";
    case XOLTLOG_MSG_DIAG: return "diagnostic";
    case XOLTLOG_MSG_APP: return "application";
    case XOLTLOG_MSG_CONTEXT: return "context";
    case XOLTLOG_MSG_AUDIT: return "audit";
    default: return "unknown";
  }
}

namespace {

std::string_view level_name(const XoltLogMsg& msg) {
  switch (msg.type) {
    case XOLTLOG_MSG_DEBUG:
    case XOLTLOG_MSG_DIAG: return "debug";
    case XOLTLOG_MSG_APP:
      return msg.attr.severity == 0 ? "info" : msg.attr.severity == 1 ? "warning" : "error";
    case XOLTLOG_MSG_AUDIT: return msg.outcome == 0 ? "info" : "warning";
    default: return "info";
  }
}

std::string_view severity_name(std::uint32_t severity) {
  return severity == 0 ? "information" : severity == 1 ? "warning" : "error";
}

// The console's short label: "app/warning", "diag/3", "audit/failure".
void append_label(std::string& out, const XoltLogMsg& msg) {
  switch (msg.type) {
    case XOLTLOG_MSG_DEBUG:
    case XOLTLOG_MSG_DIAG:
      out += msg.type == XOLTLOG_MSG_DEBUG ? "debug/" : "diag/";
      append_number(out, msg.attr.level);
      return;
    case XOLTLOG_MSG_APP:
      out += "app/";
      out += msg.attr.severity == 0 ? "info" : severity_name(msg.attr.severity);
      return;
    case XOLTLOG_MSG_AUDIT: out += msg.outcome == 0 ? "audit/success" : "audit/failure"; return;
    default: out += kind_name(msg.type);
  }
}

}  // namespace

// The JSON object of a record, built once; each record overwrites its
// values in place (strings keep their capacity), and one serializer writes
// them into one buffer.
struct Renderer::Json {
  using json = nlohmann::json;
  json object;
  std::string buffer;
  nlohmann::detail::serializer<json> serializer{
      nlohmann::detail::output_adapter<char, std::string>(buffer), ' ',
      json::error_handler_t::replace};
  json *timestamp, *level, *severity, *verbosity, *outcome, *message, *host, *pid, *tid,
      *product, *originator, *logset, *kind, *who, *context, *sequence, *catalog_id, *file,
      *line;

  Json() {
    for (const char* key : {"timestamp", "message", "host", "kind", "who", "context", "file"}) {
      object[key] = "";
    }
    for (const char* key : {"pid", "tid", "product", "originator", "sequence", "catalog_id",
                            "line"}) {
      object[key] = std::uint64_t{0};
    }
    for (const char* key : {"level", "severity", "verbosity", "outcome", "logset"}) {
      object[key] = nullptr;
    }
    timestamp = &object["timestamp"], level = &object["level"], severity = &object["severity"];
    verbosity = &object["verbosity"], outcome = &object["outcome"], message = &object["message"];
    host = &object["host"], pid = &object["pid"], tid = &object["tid"];
    product = &object["product"], originator = &object["originator"];
    logset = &object["logset"], kind = &object["kind"], who = &object["who"];
    context = &object["context"], sequence = &object["sequence"];
    catalog_id = &object["catalog_id"], file = &object["file"], line = &object["line"];
  }

  static void set(json* slot, std::string_view text) {
    if (!slot->is_string()) *slot = "";
    slot->get_ref<std::string&>().assign(text);
  }
  static void set(json* slot, std::uint64_t number) {
    slot->get_ref<json::number_unsigned_t&>() = number;
  }
  void emit(const json& value, std::string& out) {
    buffer.clear();
    serializer.dump(value, false, false, 0);
    out += buffer;
    out += '\n';
  }
};

Renderer::Renderer(bool json) : json_(json) {
  if (json_) json_state_ = std::make_unique<Json>();
}

Renderer::~Renderer() = default;

namespace {

// The local time of second as "2026-03-14 10:00:05" (or with a "T") and its
// offset from UTC, "+01:00" (JSON) or "+0100".
void local_time(std::int64_t second, bool json, std::string& time, std::string& zone) {
  const auto value = static_cast<std::time_t>(second);
  std::tm parts{};
  char buffer[64];
  if (localtime_r(&value, &parts) == nullptr ||
      std::strftime(buffer, sizeof buffer, json ? "%Y-%m-%dT%H:%M:%S" : "%Y-%m-%d %H:%M:%S",
                    &parts) == 0) {
    std::snprintf(buffer, sizeof buffer, "@%lld", static_cast<long long>(second));
    parts.tm_gmtoff = 0;
  }
  time = buffer;
  const long offset = parts.tm_gmtoff;
  const long magnitude = offset < 0 ? -offset : offset;
  std::snprintf(buffer, sizeof buffer, json ? "%c%02ld:%02ld" : "%c%02ld%02ld",
                offset < 0 ? '-' : '+', magnitude / 3600, magnitude / 60 % 60);
  zone = buffer;
}

}  // namespace

void Renderer::record(const ShownFile& file, std::uint64_t line_number, const XoltLogMsg& msg,
                      std::string_view message, std::string& out) {
  std::int64_t second = msg.timestamp_ms / kMsPerSecond;
  std::int64_t millis = msg.timestamp_ms % kMsPerSecond;
  if (millis < 0) millis += kMsPerSecond, --second;
  if (second != cached_second_) {
    local_time(second, json_, cached_time_, cached_zone_);
    cached_second_ = second;
  }
  label_ = cached_time_;
  label_ += '.';
  label_.push_back(static_cast<char>('0' + millis / 100));
  label_.push_back(static_cast<char>('0' + millis / 10 % 10));
  label_.push_back(static_cast<char>('0' + millis % 10));
  if (!json_) {
    out += label_;
    out += ' ';
    out += cached_zone_;
    out += ' ';
    text_record(file, msg, message, out);
    return;
  }
  Json& j = *json_state_;
  label_ += cached_zone_;
  Json::set(j.timestamp, label_);
  Json::set(j.level, level_name(msg));
  if (msg.type == XOLTLOG_MSG_APP) {
    Json::set(j.severity, severity_name(msg.attr.severity));
  } else {
    *j.severity = nullptr;
  }
  if (msg.type == XOLTLOG_MSG_DEBUG || msg.type == XOLTLOG_MSG_DIAG) {
    *j.verbosity = static_cast<std::int64_t>(msg.attr.level);
  } else {
    *j.verbosity = nullptr;
  }
  if (msg.type == XOLTLOG_MSG_AUDIT) {
    Json::set(j.outcome, msg.outcome == 0 ? "success" : "failure");
  } else {
    *j.outcome = nullptr;
  }
  if (file.logset.empty()) {
    *j.logset = nullptr;
  } else {
    Json::set(j.logset, file.logset);
  }
  Json::set(j.message, message);
  Json::set(j.host, file.host);
  Json::set(j.pid, msg.process_id);
  Json::set(j.tid, msg.thread_id);
  Json::set(j.product, msg.product_id != 0 ? msg.product_id : file.product);
  Json::set(j.originator, msg.originator_id);
  Json::set(j.kind, kind_name(msg.type));
  Json::set(j.who, who_of(msg));
  Json::set(j.context, context_of(msg));
  Json::set(j.sequence, msg.sequence);
  Json::set(j.catalog_id, msg.rir.id);
  Json::set(j.file, file.path);
  Json::set(j.line, line_number);
  j.emit(j.object, out);
}

void Renderer::text_record(const ShownFile& file, const XoltLogMsg& msg, std::string_view message,
                           std::string& out) {
  append_label(out, msg);
  out += ' ';
  append_number(out, msg.product_id != 0 ? msg.product_id : file.product);
  out += '/';
  append_number(out, msg.originator_id);
  out += ' ';
  const std::string_view who = who_of(msg);
  if (who.empty()) {
    out += '-';
  } else {
    append_printable(out, who);
  }
  if (msg.context_token != nullptr && msg.context_token[0] != '\0') {
    out += " [";
    append_printable(out, msg.context_token);
    out += ']';
  }
  out += ' ';
  append_printable(out, message);
  out += '\n';
}

void Renderer::damaged(const ShownFile& file, std::uint64_t line_number, std::string_view line,
                       std::string_view reason, std::uint64_t offset, std::string& out) {
  if (!json_) {
    out += file.path;
    out += ':';
    append_number(out, line_number);
    out += ": damaged record: ";
    out += reason;
    out += " (byte ";
    append_number(out, offset);
    out += ")\n";
    return;
  }
  const Json::json value = {{"damaged", true}, {"file", file.path}, {"line", line_number},
                            {"reason", reason}, {"offset", offset}, {"raw", line}};
  json_state_->emit(value, out);
}

}  // namespace xoltlog::tool
