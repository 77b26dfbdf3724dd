#include "message/record_parser.h"

#include <charconv>
#include <system_error>
#include <utility>

#include "xoltlog/message.h"
#include "xoltlog/rir.h"

namespace xoltlog {
namespace {

// Reads a line from left to right; the first failure is kept and every later
// read fails too, so callers may chain reads and look once at the end.
class LineReader {
 public:
  explicit LineReader(std::string_view line) noexcept : line_(line) {}

  bool ok() const noexcept { return error_.reason.empty(); }
  bool at_end() const noexcept { return pos_ == line_.size(); }
  std::size_t position() const noexcept { return pos_; }
  const ParseError& error() const noexcept { return error_; }

  bool fail(std::string_view reason) noexcept {
    if (ok()) {
      error_ = {pos_, reason};
    }
    return false;
  }

  bool next_is(char c) const noexcept { return ok() && pos_ < line_.size() && line_[pos_] == c; }

  bool expect(char c) noexcept {
    if (!next_is(c)) {
      return fail(c == ',' ? "expected a comma" : "unexpected character");
    }
    ++pos_;
    return true;
  }

  bool take(char& c) noexcept {
    if (!ok() || at_end()) {
      return fail("line ends too early");
    }
    c = line_[pos_++];
    return true;
  }

  // A decimal number (a minus sign only for signed types, no plus sign).
  template <typename Number>
  bool number(Number& value) noexcept {
    if (!ok()) {
      return false;
    }
    const char* first = line_.data() + pos_;
    const auto [end, ec] = std::from_chars(first, line_.data() + line_.size(), value);
    if (ec != std::errc{}) {
      return fail(ec == std::errc::result_out_of_range ? "number out of range"
                                                       : "expected a number");
    }
    pos_ += static_cast<std::size_t>(end - first);
    return true;
  }

  bool fixed(double& value) noexcept {
    if (!ok()) {
      return false;
    }
    const char* first = line_.data() + pos_;
    const auto [end, ec] =
        std::from_chars(first, line_.data() + line_.size(), value, std::chars_format::fixed);
    if (ec != std::errc{}) {
      return fail("expected a decimal fraction");
    }
    pos_ += static_cast<std::size_t>(end - first);
    return true;
  }

  bool bytes(std::uint64_t count, std::string& out) {
    if (!ok()) {
      return false;
    }
    if (count > line_.size() - pos_) {
      return fail("byte count runs past the end of the line");
    }
    out.assign(line_.substr(pos_, static_cast<std::size_t>(count)));
    pos_ += static_cast<std::size_t>(count);
    return true;
  }

  // count ':' bytes, the body of string fields and string arguments.
  bool counted(std::string& out) {
    std::uint64_t count = 0;
    return number(count) && expect(':') && bytes(count, out);
  }

 private:
  std::string_view line_;
  std::size_t pos_ = 0;
  ParseError error_;
};

bool read_argument_list(LineReader& in, ParsedArgumentList& list, int depth);

// width ':' value '|'
template <typename Number>
bool read_number_argument(LineReader& in, ParsedArgument& arg, Number& value) {
  return in.number(arg.width) && in.expect(':') && in.number(value) && in.expect('|');
}

bool read_counted_argument(LineReader& in, ParsedArgument& arg) {
  return in.counted(arg.bytes) && in.expect('|');
}

// The wide character's byte count is one digit.
bool read_wide_char(LineReader& in, ParsedArgument& arg) {
  char digit = 0;
  if (!in.take(digit)) {
    return false;
  }
  if (digit < '0' || digit > '4') {
    return in.fail("bad byte count of a wide character");
  }
  return in.expect(':') && in.bytes(static_cast<std::uint64_t>(digit - '0'), arg.bytes) &&
         in.expect('|');
}

bool read_nested(LineReader& in, ParsedArgument& arg, int depth) {
  if (depth >= XOLT_RIR_MAX_NESTING) {
    return in.fail("argument lists nested too deeply");
  }
  return read_argument_list(in, arg.nested, depth + 1) && in.expect(',');
}

// Tags and the types they stand for.
std::int32_t type_of_tag(char tag) noexcept {
  switch (tag) {
    case '1':
      return XOLT_RIR_ARG_WCHAR;
    case 'i':
      return XOLT_RIR_ARG_LONGLONG;
    case 'u':
      return XOLT_RIR_ARG_ULONGLONG;
    case '8':
      return XOLT_RIR_ARG_DOUBLE;
    case '9':
      return XOLT_RIR_ARG_POINTER;
    case 'A':
      return XOLT_RIR_ARG_WSTRING;
    case 'D':
      return XOLT_RIR_ARG_OS_ERROR;
    case 'C':
      return XOLT_RIR_ARG_DATETIME;
    case 'X':
      return XOLT_RIR_ARG_UTF8STRING;
    case 'S':
      return XOLT_RIR_ARG_NATIVESTRING;
    default:
      return -1;
  }
}

bool read_argument_value(LineReader& in, ParsedArgument& arg, int depth) {
  switch (arg.type) {
    case XOLT_RIR_ARG_WCHAR:
      return read_wide_char(in, arg);
    case XOLT_RIR_ARG_LONGLONG:
    case XOLT_RIR_ARG_OS_ERROR:
    case XOLT_RIR_ARG_DATETIME:
      return read_number_argument(in, arg, arg.signed_number);
    case XOLT_RIR_ARG_ULONGLONG:
    case XOLT_RIR_ARG_POINTER:
      return read_number_argument(in, arg, arg.unsigned_number);
    case XOLT_RIR_ARG_DOUBLE:
      return in.fixed(arg.number_double) && in.expect('|');
    case XOLT_RIR_ARG_RIR:
      return read_nested(in, arg, depth);
    default:
      return read_counted_argument(in, arg);
  }
}

bool read_argument(LineReader& in, ParsedArgumentList& list, int depth) {
  const std::size_t offset = in.position();
  // A nested list's open parenthesis is both its tag and its first byte.
  if (in.next_is('(')) {
    ParsedArgument& nested = list.arguments.emplace_back();
    nested.type = XOLT_RIR_ARG_RIR;
    nested.offset = offset;
    return read_nested(in, nested, depth);
  }
  char tag = 0;
  if (!in.take(tag)) {
    return false;
  }
  const std::int32_t type = type_of_tag(tag);
  if (type < 0) {
    return in.fail("unknown argument tag");
  }
  ParsedArgument& arg = list.arguments.emplace_back();
  arg.type = type;
  arg.offset = offset;
  return read_argument_value(in, arg, depth);
}

bool read_argument_list(LineReader& in, ParsedArgumentList& list, int depth) {
  if (!(in.expect('(') && in.number(list.id) && in.expect('|'))) {
    return false;
  }
  while (in.ok() && !in.next_is(')')) {
    if (!read_argument(in, list, depth)) {
      return false;
    }
  }
  return in.expect(')');
}

bool read_header(LineReader& in, ParsedRecord& record, std::uint32_t version) {
  const bool full = version == XOLTLOG_RECORD_VERSION;
  if (!full && version != XOLTLOG_RECORD_VERSION_LOGSET) {
    return in.fail("record version without a readable numeric header");
  }
  bool ok = in.number(record.type) && in.expect(',');
  if (full) {
    ok = ok && in.number(record.product_id) && in.expect(',');
  }
  ok = ok && in.number(record.originator_id) && in.expect(',');
  if (full) {
    ok = ok && in.number(record.file_originator) && in.expect(',');
  }
  return ok && in.number(record.sequence) && in.expect(',') && in.number(record.timestamp_ms) &&
         in.expect(',') && in.number(record.process_id) && in.expect(',') &&
         in.number(record.thread_id) && in.expect(',');
}

bool read_string_field(LineReader& in, std::string& out) {
  return in.counted(out) && in.expect(',');
}

// The severity is one digit from 0 to 4.
bool read_severity(LineReader& in, std::int32_t& severity) {
  char digit = 0;
  if (!in.take(digit)) {
    return false;
  }
  if (digit < '0' || digit > '4') {
    return in.fail("severity is not a digit from 0 to 4");
  }
  severity = digit - '0';
  return in.expect(',');
}

// What follows the text: by message type, the attribute, the number and the
// argument list; a debug line ends with its level.
bool read_type_part(LineReader& in, ParsedRecord& record) {
  if (record.type > XOLTLOG_MSG_AUDIT) {
    return in.fail("message type without a record line");
  }
  if (!read_string_field(in, record.attribute)) {
    return false;
  }
  if (record.type == XOLTLOG_MSG_DEBUG) {
    return in.number(record.number);
  }
  bool ok = true;
  if (record.type == XOLTLOG_MSG_APP) {
    ok = read_severity(in, record.number);
  } else if (record.type != XOLTLOG_MSG_CONTEXT) {
    ok = in.number(record.number) && in.expect(',');
  }
  return ok && read_argument_list(in, record.arguments.emplace(), 0);
}

}  // namespace

RecordLineParse parse_record_line(std::string_view line, std::uint32_t record_version) {
  if (!line.empty() && line.back() == '\n') {
    line.remove_suffix(1);
  }
  LineReader in(line);
  ParsedRecord record;
  const bool ok = read_header(in, record, record_version) &&
                  read_string_field(in, record.context_token) &&
                  read_string_field(in, record.text) && read_type_part(in, record);
  if (ok && !in.at_end()) {
    in.fail("unexpected bytes after the last field");
  }
  if (!in.ok()) {
    return {std::nullopt, in.error()};
  }
  return {std::move(record), {}};
}

}  // namespace xoltlog
