#include "cli/show_render.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "cli/show_fields.h"
#include "format_message.h"

namespace xoltlog::tool {
namespace {

constexpr std::int64_t kMsPerSecond = 1000;
// Room for everything of a record but its strings.
constexpr std::size_t kFixedRoom = 512;
constexpr char kHex[] = "0123456789abcdef";

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

// Writes text so that it stays on one line and shows every byte: control
// characters, backslashes and bytes that are not UTF-8 as escapes (at most
// 4 bytes per byte).
char* put_printable(char* out, std::string_view text) {
  while (!text.empty()) {
    std::size_t plain = 0;
    while (plain < text.size()) {
      const auto byte = static_cast<unsigned char>(text[plain]);
      if (byte < 0x20 || byte >= 0x7F || byte == '\\') break;
      ++plain;
    }
    out = put(out, text.substr(0, plain));
    text.remove_prefix(plain);
    if (text.empty()) break;
    const auto byte = static_cast<unsigned char>(text[0]);
    const std::size_t sequence = byte >= 0x80 ? utf8_sequence_length(text) : 0;
    if (sequence > 0) {
      out = put(out, text.substr(0, sequence));
      text.remove_prefix(sequence);
      continue;
    }
    if (byte == '\\' || byte == '\n' || byte == '\t') {
      *out++ = '\\';
      *out++ = byte == '\\' ? '\\' : byte == '\n' ? 'n' : 't';
    } else {
      out = put(out, "\\x");
      *out++ = kHex[byte >> 4];
      *out++ = kHex[byte & 0xF];
    }
    text.remove_prefix(1);
  }
  return out;
}

// The console's short label: "app/warning", "diag/3", "audit/failure".
char* put_label(char* out, const RecordView& view) {
  switch (view.type) {
    case XOLTLOG_MSG_DEBUG:
    case XOLTLOG_MSG_DIAG:
      out = put(out, view.type == XOLTLOG_MSG_DEBUG ? "debug/" : "diag/");
      return put_number(out, view.number);
    case XOLTLOG_MSG_APP:
      return put(out, view.number == 0   ? "app/info"
                      : view.number == 1 ? "app/warning"
                                         : "app/error");
    case XOLTLOG_MSG_AUDIT: return put(out, view.number == 0 ? "audit/success" : "audit/failure");
    default: return put(out, kind_name(view.type));
  }
}

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

char* OutputBuffer::reserve(std::size_t count) {
  if (capacity_ - size_ < count) {
    const std::size_t capacity = std::max(capacity_ * 2, size_ + count + (1 << 20));
    auto grown = std::make_unique_for_overwrite<char[]>(capacity);
    if (size_ > 0) std::memcpy(grown.get(), data_.get(), size_);
    data_ = std::move(grown);
    capacity_ = capacity;
  }
  return data_.get() + size_;
}

std::size_t utf8_sequence_length(std::string_view text) {
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

std::string_view MessageText::of(const RecordView& view, const XoltLogMsg* parsed,
                                 std::string_view line) {
  if (view.catalog_id == 0 || parsed == nullptr) return view.text;
  if (format_ != nullptr) {
    char* text = nullptr;
    const auto format = reinterpret_cast<XoltLogFormatMessageFn>(format_);
    // The library renders the catalog message only for a record without
    // text; a parsed record's text is an empty string instead. The copy
    // borrows everything and is never freed.
    XoltLogMsg borrowed = *parsed;
    if (borrowed.text != nullptr && borrowed.text[0] == '\0') borrowed.text = nullptr;
    if (format(nullptr, 0, nullptr, 0, XOLTLOG_FORMAT_EVENT, 0, &borrowed, nullptr, &text) == 0 &&
        text != nullptr) {
      scratch_.assign(text);
      xoltLogFree(text);
      return scratch_;
    }
  }
  scratch_.assign(view.text);
  if (!scratch_.empty()) scratch_ += ' ';
  scratch_ += argument_list(line, parsed->record_version, view.type);
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

void Renderer::record(const ShownFile& file, std::uint64_t line_number, const RecordView& view,
                      std::string_view message, OutputBuffer& out) {
  std::int64_t second = view.timestamp_ms / kMsPerSecond;
  std::int64_t millis = view.timestamp_ms % kMsPerSecond;
  if (millis < 0) millis += kMsPerSecond, --second;
  if (second != cached_second_) {
    local_time(second, json_, cached_time_, cached_zone_);
    cached_second_ = second;
  }
  char* time = put(time_, cached_time_);
  *time++ = '.';
  *time++ = static_cast<char>('0' + millis / 100);
  *time++ = static_cast<char>('0' + millis / 10 % 10);
  *time++ = static_cast<char>('0' + millis % 10);
  if (!json_) *time++ = ' ';
  time = put(time, cached_zone_);
  time_size_ = static_cast<std::size_t>(time - time_);
  const std::size_t strings = message.size() + view.who.size() + view.context.size() +
                              file.path.size() + file.host.size() + file.logset.size();
  char* cursor = out.reserve(kFixedRoom + 6 * strings);
  out.commit(json_ ? json_record(cursor, file, line_number, view, message)
                   : text_record(cursor, file, view, message));
}

char* Renderer::text_record(char* out, const ShownFile& file, const RecordView& view,
                            std::string_view message) const {
  out = put(out, std::string_view(time_, time_size_));
  *out++ = ' ';
  out = put_label(out, view);
  *out++ = ' ';
  out = put_number(out, view.product != 0 ? view.product : file.product);
  *out++ = '/';
  out = put_number(out, view.originator);
  *out++ = ' ';
  out = view.who.empty() ? put(out, "-") : put_printable(out, view.who);
  if (!view.context.empty()) {
    out = put(out, " [");
    out = put_printable(out, view.context);
    *out++ = ']';
  }
  *out++ = ' ';
  out = put_printable(out, message);
  *out++ = '\n';
  return out;
}

void Renderer::damaged(const ShownFile& file, std::uint64_t line_number, std::string_view line,
                       std::string_view reason, std::uint64_t offset, OutputBuffer& out) const {
  char* cursor = out.reserve(kFixedRoom + 6 * (file.path.size() + reason.size() + line.size()));
  char* end = cursor;
  if (json_) {
    end = put(end, "{\"damaged\":true,\"file\":");
    end = put_json_string(end, file.path);
    end = put(end, ",\"line\":");
    end = put_number(end, line_number);
    end = put(end, ",\"reason\":");
    end = put_json_string(end, reason);
    end = put(end, ",\"offset\":");
    end = put_number(end, offset);
    end = put(end, ",\"raw\":");
    end = put_json_string(end, line);
    end = put(end, "}\n");
  } else {
    end = put(end, file.path);
    *end++ = ':';
    end = put_number(end, line_number);
    end = put(end, ": damaged record: ");
    end = put(end, reason);
    end = put(end, " (byte ");
    end = put_number(end, offset);
    end = put(end, ")\n");
  }
  out.commit(end);
}

}  // namespace xoltlog::tool
