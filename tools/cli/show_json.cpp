// The JSON lines of xoltlog show, written by hand rather than through a
// document model: a record costs one pass over its strings and no
// allocation, which keeps show --json near the speed of reading the file.
// The tests read every form back with a strict JSON parser (nlohmann).
#include "cli/show_fields.h"
#include "cli/show_render.h"

namespace xoltlog::tool {
namespace {

constexpr char kHex[] = "0123456789abcdef";

// Bytes a JSON string cannot hold as they are, by value: 1 for control
// characters, quote and backslash, 2 for bytes that start or continue
// UTF-8 sequences, which are checked.
struct EscapeTable {
  unsigned char kind[256] = {};
  constexpr EscapeTable() {
    for (int byte = 0; byte < 0x20; ++byte) kind[byte] = 1;
    kind['"'] = kind['\\'] = 1;
    for (int byte = 0x80; byte < 0x100; ++byte) kind[byte] = 2;
  }
};
constexpr EscapeTable kEscape;

char* put_escape(char* out, unsigned char byte) {
  *out++ = '\\';
  switch (byte) {
    case '"': *out++ = '"'; return out;
    case '\\': *out++ = '\\'; return out;
    case '\n': *out++ = 'n'; return out;
    case '\r': *out++ = 'r'; return out;
    case '\t': *out++ = 't'; return out;
    case '\b': *out++ = 'b'; return out;
    case '\f': *out++ = 'f'; return out;
    default:
      out = put(out, "u00");
      *out++ = kHex[byte >> 4];
      *out++ = kHex[byte & 0xF];
      return out;
  }
}

// True when none of the eight bytes in word needs escaping or checking:
// no byte below 0x20, no quote, no backslash, none with its high bit set.
// (x - 0x01..) & ~x & 0x80.. is nonzero exactly when x has a zero byte.
bool plain_word(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
  const std::uint64_t quote = word ^ (kOnes * '"'), backslash = word ^ (kOnes * '\\');
  const std::uint64_t special = ((word - kOnes * 0x20) & ~word) | ((quote - kOnes) & ~quote) |
                                ((backslash - kOnes) & ~backslash) | word;
  return (special & kHighs) == 0;
}

const unsigned char* plain_end(const unsigned char* at, const unsigned char* end) {
  for (std::uint64_t word = 0; end - at >= 8; at += 8) {
    std::memcpy(&word, at, sizeof word);
    if (!plain_word(word)) break;
  }
  while (at < end && kEscape.kind[*at] == 0) ++at;
  return at;
}

char* text_field(char* out, std::string_view key_and_colon, std::string_view value) {
  return put_json_string(put(out, key_and_colon), value);
}

}  // namespace

char* put_json_string(char* out, std::string_view text) {
  *out++ = '"';
  const auto* at = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = at + text.size();
  while (at < end) {
    const unsigned char* plain = plain_end(at, end);
    std::memcpy(out, at, static_cast<std::size_t>(plain - at));
    out += plain - at;
    at = plain;
    if (at == end) break;
    if (kEscape.kind[*at] == 1) {
      out = put_escape(out, *at++);
      continue;
    }
    const std::size_t sequence = utf8_sequence_length(
        std::string_view(reinterpret_cast<const char*>(at), static_cast<std::size_t>(end - at)));
    if (sequence == 0) {
      out = put(out, "\\ufffd");
      ++at;
    } else {
      std::memcpy(out, at, sequence);
      out += sequence;
      at += sequence;
    }
  }
  *out++ = '"';
  return out;
}

void prepare_json_fields(ShownFile& file) {
  std::string& fields = file.json_fields;
  fields.resize(64 + 6 * (file.path.size() + file.host.size() + file.logset.size()));
  char* out = fields.data();
  out = text_field(out, ",\"host\":", file.host);
  out = file.logset.empty() ? put(out, ",\"logset\":null")
                            : text_field(out, ",\"logset\":", file.logset);
  out = text_field(out, ",\"file\":", file.path);
  fields.resize(static_cast<std::size_t>(out - fields.data()));
}

char* Renderer::json_record(char* out, const ShownFile& file, std::uint64_t line_number,
                            const RecordView& view, std::string_view message) const {
  out = put(out, "{\"timestamp\":\"");
  out = put(out, std::string_view(time_, time_size_));
  out = put(out, "\",\"level\":\"");
  out = put(out, level_name(view));
  if (view.type == XOLTLOG_MSG_APP) {
    out = put(out, "\",\"severity\":\"");
    out = put(out, severity_name(view.number));
    out = put(out, "\"");
  } else {
    out = put(out, "\",\"severity\":null");
  }
  if (view.type == XOLTLOG_MSG_DEBUG || view.type == XOLTLOG_MSG_DIAG) {
    out = put_number(put(out, ",\"verbosity\":"), view.number);
  } else {
    out = put(out, ",\"verbosity\":null");
  }
  if (view.type == XOLTLOG_MSG_AUDIT) {
    out = put(out, view.number == 0 ? ",\"outcome\":\"success\"" : ",\"outcome\":\"failure\"");
  } else {
    out = put(out, ",\"outcome\":null");
  }
  out = text_field(out, ",\"message\":", message);
  out = put_number(put(out, ",\"pid\":"), view.pid);
  out = put_number(put(out, ",\"tid\":"), view.tid);
  out = put_number(put(out, ",\"product\":"), view.product != 0 ? view.product : file.product);
  out = put_number(put(out, ",\"originator\":"), view.originator);
  out = put(out, ",\"kind\":\"");
  out = put(out, kind_name(view.type));
  out = text_field(out, "\",\"who\":", view.who);
  out = text_field(out, ",\"context\":", view.context);
  out = put_number(put(out, ",\"sequence\":"), view.sequence);
  out = put_number(put(out, ",\"catalog_id\":"), view.catalog_id);
  out = put(out, file.json_fields);
  out = put_number(put(out, ",\"line\":"), line_number);
  return put(out, "}\n");
}

}  // namespace xoltlog::tool
