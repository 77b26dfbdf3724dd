#include "message/record_serializer.h"

#include <cstring>
#include <string_view>

#include "platform/heap.h"
#include "message/line_writer.h"
#include "message/record_arguments.h"
#include "message/text_buffer.h"
#include "platform/code_page.h"
#include "platform/text_convert.h"
#include "xoltlog/result.h"

namespace xoltlog {
namespace {

constexpr std::string_view kUnprocessable = "**UNABLE TO PROCESS LOG MESSAGE**";
constexpr std::uint32_t kHighestSeverity = 4;

bool writable(const XoltLogMsg& msg) noexcept {
  if (msg.record_version < kOldestRecordVersion ||
      msg.record_version > XOLTLOG_RECORD_VERSION_LOGSET) {
    return false;
  }
  if (msg.type == XOLTLOG_MSG_APP) {
    return msg.attr.severity <= kHighestSeverity;
  }
  return msg.type < XOLTLOG_MSG_SECURE_AUDIT;
}

// The numeric header's longest form: seven 32-bit numbers and the 64-bit
// time stamp, each with its comma.
constexpr std::size_t kHeaderRoom =
    7 * (kDecimalRoom<std::uint32_t> + 1) + kDecimalRoom<std::int64_t> + 1;

void write_numeric_header(Cursor& line, const XoltLogMsg& msg) noexcept {
  const bool ordinary = msg.record_version == XOLTLOG_RECORD_VERSION;
  line.number(msg.type).character(',');
  if (ordinary) {
    line.number(msg.product_id).character(',');
  }
  line.number(msg.originator_id).character(',');
  if (ordinary) {
    line.number(msg.file_originator).character(',');
  }
  line.number(msg.sequence).character(',');
  line.number(msg.timestamp_ms).character(',');
  line.number(msg.process_id).character(',');
  line.number(msg.thread_id).character(',');
}

// The fields of a line between the numeric header and the argument list:
// the context token and text, then by type an attribute string and a number.
struct TypeFields {
  const char* strings[3] = {};
  int string_count = 0;
  bool has_number = false;
  std::int32_t number = 0;
  bool has_argument_list = true;
};

// Application records of the two oldest versions had no who field.
bool has_who(const XoltLogMsg& msg) noexcept {
  return msg.record_version > kOldestRecordVersion + 1;
}

// Debug messages carry no argument list; secure audit never gets here.
TypeFields fields_of(const XoltLogMsg& msg) noexcept {
  TypeFields fields;
  const auto add_string = [&](const char* text) { fields.strings[fields.string_count++] = text; };
  const auto set_number = [&](std::int32_t number) {
    fields.has_number = true;
    fields.number = number;
  };
  add_string(msg.context_token);
  add_string(msg.text);
  switch (msg.type) {
    case XOLTLOG_MSG_DEBUG:
    case XOLTLOG_MSG_DIAG:
      add_string(msg.who_or_subject);
      set_number(msg.attr.level);
      fields.has_argument_list = msg.type == XOLTLOG_MSG_DIAG;
      break;
    case XOLTLOG_MSG_APP:
      if (has_who(msg)) {
        add_string(msg.who_or_subject);
      }
      set_number(static_cast<std::int32_t>(msg.attr.severity));  // 0 to 4
      break;
    case XOLTLOG_MSG_CONTEXT:
      add_string(msg.attr.context_attr);
      break;
    default:
      add_string(msg.who_or_subject);
      // The outcome is written as printf's "%d" writes the 32-bit value.
      set_number(static_cast<std::int32_t>(msg.outcome));
      break;
  }
  return fields;
}

// The UTF-8 bytes of one string field, and the converted copy that may hold
// them.
struct FieldText {
  std::string_view bytes;
  BlockPtr<char> converted;
};

// Writes the line of one record; knows how the record's strings become
// UTF-8.
class RecordWriter {
 public:
  RecordWriter(const XoltLogMsg& msg, XoltLogTextMsg& buffer) noexcept
      : msg_(msg), out_(buffer), copy_as_is_(msg.utf8 != 0) {}

  std::uint32_t write() noexcept;
  // False when the line may hold a line feed, which finishing must replace.
  bool single_line() const noexcept { return single_line_; }

 private:
  void resolve(const char* text, FieldText& field) noexcept;
  void convert(const char* text, FieldText& field) noexcept;

  const XoltLogMsg& msg_;
  LineWriter out_;
  bool copy_as_is_;
  bool single_line_ = true;
};

// Everything before the argument list is written as one piece: the room it
// needs is known once the strings are.
std::uint32_t RecordWriter::write() noexcept {
  const TypeFields fields = fields_of(msg_);
  FieldText texts[3];
  std::size_t most = kHeaderRoom + kDecimalRoom<std::int32_t> + 1;
  for (int i = 0; i < fields.string_count; ++i) {
    resolve(fields.strings[i], texts[i]);
    most += decimal_room(texts[i].bytes.size()) + 2 + texts[i].bytes.size();
  }
  const std::uint32_t result = out_.piece(most, [&](Cursor& line) {
    if (msg_.record_version >= XOLTLOG_RECORD_VERSION) {
      write_numeric_header(line, msg_);
    }
    for (int i = 0; i < fields.string_count; ++i) {
      line.counted(texts[i].bytes, ',');
    }
    if (fields.has_number) {
      line.number(fields.number).character(',');
    }
  });
  if (result != XOLTLOG_OK || !fields.has_argument_list) {
    return result;
  }
  // Argument strings are not scanned for line feeds.
  single_line_ = single_line_ && msg_.rir.args == nullptr;
  return append_argument_list(out_, msg_.rir);
}

// Text that has no UTF-8 form does not cost the record: its field carries a
// marker instead. ASCII reads the same in every code set, so it is used as
// it is; otherwise, when the code page is UTF-8 the conversion would be a
// copy, so the bytes are only checked.
void RecordWriter::resolve(const char* text, FieldText& field) noexcept {
  if (text == nullptr || *text == '\0') {
    return;
  }
  field.bytes = text;
  if (platform::is_single_line_ascii(field.bytes)) {
    return;
  }
  single_line_ = false;
  if (copy_as_is_) {
    return;
  }
  if (platform::code_page_is_utf8()) {
    if (!platform::is_well_formed_utf8(field.bytes)) {
      field.bytes = kUnprocessable;
    }
    return;
  }
  convert(text, field);
}

// The conversion behind mbs2utf8; a failure of any kind, memory included,
// leaves the field to the marker.
void RecordWriter::convert(const char* text, FieldText& field) noexcept {
  const bool ok = platform::code_page_to_utf8(field.converted, text) == XOLTLOG_OK &&
                  field.converted != nullptr;
  field.bytes = ok ? std::string_view(field.converted.get()) : kUnprocessable;
}

// The last field's comma becomes the line feed that ends the line; every
// line feed inside the line becomes a carriage return, so that the record
// stays one line.
void finish_line(XoltLogTextMsg& buffer, bool single_line) noexcept {
  char* end = buffer.storage + text_size(buffer) - 1;
  for (char* at = buffer.storage; !single_line && at != nullptr; ++at) {
    at = static_cast<char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
    if (at == nullptr) {
      break;
    }
    *at = '\r';
  }
  *end = '\n';
}

}  // namespace

std::uint32_t serialize_record(const XoltLogMsg& msg, XoltLogTextMsg& buffer) noexcept {
  init_text_buffer(buffer);
  if (!writable(msg)) {
    return XOLTLOG_E_FAILED;
  }
  RecordWriter writer(msg, buffer);
  const std::uint32_t result = writer.write();
  if (result != XOLTLOG_OK) {
    free_text_buffer(buffer);
    return result;
  }
  finish_line(buffer, writer.single_line());
  return XOLTLOG_OK;
}

}  // namespace xoltlog
