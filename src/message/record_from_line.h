// Message records read back from record lines, for tools that show what a
// log file holds through the record accessors and the formatting library.
// The record owns every string it gets and its catalog message, so that
// free_record releases all of it.
#pragma once

#include <cstdint>
#include <string_view>

#include "message/record_parser.h"
#include "xoltlog/message.h"

namespace xoltlog {

// Overwrites record with the record of line, written with record_version and
// read as parse_record_line reads it (carriage returns are not turned back).
// Strings are owned copies (owns_strings 1, utf8 1): the text always, the
// context token, who, subject and context attribute only when not empty
// (null otherwise). Results: 0; 1 for a line that does not parse, holds a
// NUL byte, or has a wide argument that is not one well-formed UTF-8
// character or string, with error saying where and why; 4 when memory runs
// out. On every result but 0 the record is zeroed and holds nothing.
std::uint32_t record_from_line(std::string_view line, std::uint32_t record_version,
                               XoltLogMsg& record, ParseError& error) noexcept;

}  // namespace xoltlog
