// Reading a record line back into its fields: the reverse of the serializer,
// for the record reader and for tools.
//
// The parser takes the line as the caller has it and returns string fields
// byte for byte as they stand in it. The serializer turned every line feed
// inside the record into a carriage return; a caller that wants the original
// line feeds back (the record reader does) turns carriage returns into line
// feeds before parsing, which is safe because strings are read by their byte
// counts. One line feed ending the line is allowed and ignored.
//
// Only the record versions with a numeric header (0x10007 and 0x10008) can
// be read: without the header the message type, and so the line's shape, is
// unknown. Nothing is read outside the given line, whatever it holds.
// Argument lists nested deeper than XOLT_RIR_MAX_NESTING, which the
// serializer never writes, are refused rather than followed, so that a
// damaged line cannot exhaust the stack.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xoltlog {

struct ParsedArgument;

// "(" identifier "|" arguments ")".
struct ParsedArgumentList {
  std::uint32_t id = 0;
  std::vector<ParsedArgument> arguments;
};

// One argument by its tag. Both operating-system error types (6 and 7) share
// a tag and read back as type 6.
struct ParsedArgument {
  std::int32_t type = 0;              // XoltRirArgType
  std::size_t offset = 0;             // of its tag in the line
  std::uint64_t width = 0;            // as written: types 1, 2, 6 (its width), 4 and 8 (64)
  std::int64_t signed_number = 0;     // types 1, 6, 8
  std::uint64_t unsigned_number = 0;  // types 2, 4
  double number_double = 0.0;         // type 3, as read from its six decimals
  std::string bytes;                  // types 0 and 5 (their UTF-8 form), 10, 11
  ParsedArgumentList nested;          // type 9
};

struct ParsedRecord {
  std::uint32_t type = 0;
  std::uint32_t product_id = 0;  // 0 in logset lines, which do not carry it
  std::uint32_t originator_id = 0;
  std::uint32_t file_originator = 0;  // 0 in logset lines
  std::uint32_t sequence = 0;
  std::int64_t timestamp_ms = 0;
  std::uint32_t process_id = 0;
  std::uint32_t thread_id = 0;
  std::string context_token;
  std::string text;
  // who (debug, diagnostic, application), subject (audit) or context
  // attribute (context).
  std::string attribute;
  // level (debug, diagnostic), severity (application), outcome (audit, as the
  // signed 32-bit number the line carries); 0 for context.
  std::int32_t number = 0;
  std::optional<ParsedArgumentList> arguments;  // absent for debug
};

struct ParseError {
  std::size_t offset = 0;   // where in the line the parser gave up
  std::string_view reason;  // a string literal, so NUL-terminated
};

struct RecordLineParse {
  std::optional<ParsedRecord> record;  // set on success
  ParseError error;                    // meaningful when record is empty
};

// Parses one record line written with record_version. Never throws for bad
// input; std::bad_alloc can escape only when memory runs out.
RecordLineParse parse_record_line(std::string_view line, std::uint32_t record_version);

}  // namespace xoltlog
