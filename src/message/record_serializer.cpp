#include "message/record_serializer.h"

#include <cstring>
#include <string_view>

#include "frame/memory.h"
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

ShortPiece numeric_header(const XoltLogMsg& msg) noexcept {
  ShortPiece header;
  header.number(msg.type).character(',');
  if (msg.record_version == XOLTLOG_RECORD_VERSION) {
    header.number(msg.product_id).character(',');
  }
  header.number(msg.originator_id).character(',');
  if (msg.record_version == XOLTLOG_RECORD_VERSION) {
    header.number(msg.file_originator).character(',');
  }
  header.number(msg.sequence).character(',');
  header.number(msg.timestamp_ms).character(',');
  header.number(msg.process_id).character(',');
  header.number(msg.thread_id).character(',');
  return header;
}

// Writes the fields of one record; knows how the record's strings become
// UTF-8.
class RecordWriter {
 public:
  RecordWriter(const XoltLogMsg& msg, XoltLogTextMsg& buffer) noexcept
      : msg_(msg),
        out_(buffer),
        copy_as_is_(msg.utf8 != 0),
        check_as_utf8_(!copy_as_is_ && platform::code_page_is_utf8()) {}

  std::uint32_t write() noexcept;

 private:
  std::uint32_t type_part() noexcept;
  std::uint32_t string_field(const char* text) noexcept;
  std::uint32_t converted_field(const char* text) noexcept;
  std::uint32_t number_field(std::int64_t value) noexcept;
  std::uint32_t attribute_and_number(const char* attribute, std::int64_t number) noexcept;
  bool has_who() const noexcept;

  const XoltLogMsg& msg_;
  LineWriter out_;
  bool copy_as_is_;
  bool check_as_utf8_;
};

std::uint32_t RecordWriter::write() noexcept {
  std::uint32_t result = XOLTLOG_OK;
  if (msg_.record_version >= XOLTLOG_RECORD_VERSION) {
    result = out_.append(numeric_header(msg_).view());
  }
  if (result == XOLTLOG_OK) {
    result = string_field(msg_.context_token);
  }
  if (result == XOLTLOG_OK) {
    result = string_field(msg_.text);
  }
  return result == XOLTLOG_OK ? type_part() : result;
}

// Debug messages carry no argument list; secure audit never gets here.
std::uint32_t RecordWriter::type_part() noexcept {
  std::uint32_t result = XOLTLOG_OK;
  switch (msg_.type) {
    case XOLTLOG_MSG_DEBUG:
      return attribute_and_number(msg_.who_or_subject, msg_.attr.level);
    case XOLTLOG_MSG_DIAG:
      result = attribute_and_number(msg_.who_or_subject, msg_.attr.level);
      break;
    case XOLTLOG_MSG_APP:
      result = has_who() ? attribute_and_number(msg_.who_or_subject, msg_.attr.severity)
                         : number_field(msg_.attr.severity);
      break;
    case XOLTLOG_MSG_CONTEXT:
      result = string_field(msg_.attr.context_attr);
      break;
    default:
      // The outcome is written as printf's "%d" writes the 32-bit value.
      result = attribute_and_number(msg_.who_or_subject, static_cast<std::int32_t>(msg_.outcome));
      break;
  }
  return result == XOLTLOG_OK ? append_argument_list(out_, msg_.rir) : result;
}

std::uint32_t RecordWriter::attribute_and_number(const char* attribute,
                                                 std::int64_t number) noexcept {
  const std::uint32_t result = string_field(attribute);
  return result == XOLTLOG_OK ? number_field(number) : result;
}

// Application records of the two oldest versions had no who field.
bool RecordWriter::has_who() const noexcept {
  return msg_.record_version > kOldestRecordVersion + 1;
}

std::uint32_t RecordWriter::number_field(std::int64_t value) noexcept {
  ShortPiece piece;
  piece.number(value).character(',');
  return out_.append(piece.view());
}

// Text that has no UTF-8 form does not cost the record: its field carries a
// marker instead. When the code page is UTF-8 the conversion would be a
// copy, so the bytes are only checked and copied straight into the line.
std::uint32_t RecordWriter::string_field(const char* text) noexcept {
  if (text == nullptr || *text == '\0') {
    return out_.append("0:,");
  }
  if (copy_as_is_) {
    return append_string_field(out_, text);
  }
  if (check_as_utf8_) {
    const std::string_view bytes = text;
    return append_string_field(out_, platform::is_well_formed_utf8(bytes) ? bytes : kUnprocessable);
  }
  return converted_field(text);
}

// The conversion behind mbs2utf8; a failure of any kind, memory included,
// leaves the field to the marker.
std::uint32_t RecordWriter::converted_field(const char* text) noexcept {
  BlockPtr<char> converted;
  const bool ok = platform::code_page_to_utf8(converted, text) == XOLTLOG_OK && converted;
  return append_string_field(out_, ok ? std::string_view(converted.get()) : kUnprocessable);
}

// The last field's comma goes; every line feed inside the line becomes a
// carriage return, so that the record stays one line; one line feed ends it.
std::uint32_t finish_line(XoltLogTextMsg& buffer) noexcept {
  unreserve_text(buffer, 1);
  char* end = reserve_text(buffer, 1);
  if (end == nullptr) {
    return XOLTLOG_E_NO_MEMORY;
  }
  char* at = buffer.storage;
  while ((at = static_cast<char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)))) !=
         nullptr) {
    *at++ = '\r';
  }
  *end = '\n';
  return XOLTLOG_OK;
}

}  // namespace

std::uint32_t serialize_record(const XoltLogMsg& msg, XoltLogTextMsg& buffer) noexcept {
  init_text_buffer(buffer);
  if (!writable(msg)) {
    return XOLTLOG_E_FAILED;
  }
  std::uint32_t result = RecordWriter(msg, buffer).write();
  if (result == XOLTLOG_OK) {
    result = finish_line(buffer);
  }
  if (result != XOLTLOG_OK) {
    free_text_buffer(buffer);
  }
  return result;
}

}  // namespace xoltlog
