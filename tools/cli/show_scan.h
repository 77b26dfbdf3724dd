// A record as xoltlog show uses it: numbers and views into the record line
// (or into a record xoltLogMsgParse filled). Most records are plain text
// messages, whose argument list is the empty "(0|)"; those are scanned
// here in place, by the rules xoltLogMsgParse applies, without copying a
// byte. Every other line (catalog messages, arguments, and any line this
// scan refuses) goes to xoltLogMsgParse, which has the last word on what is
// damaged and why.
#pragma once

#include <cstdint>
#include <string_view>

#include "xoltlog/xoltlog.h"

namespace xoltlog::tool {

struct RecordView {
  std::uint32_t type = 0;
  std::uint32_t product = 0;     // 0 in logset records
  std::uint32_t originator = 0;
  std::uint32_t sequence = 0;
  std::int64_t timestamp_ms = 0;
  std::uint32_t pid = 0;
  std::uint32_t tid = 0;
  std::string_view context;  // the context token
  std::string_view text;
  std::string_view who;      // who, subject, or a context record's title
  std::int32_t number = 0;   // level, severity or outcome, by type
  std::uint32_t catalog_id = 0;
};

// Fills view from a line of a file of the given record version when it is
// a record with the empty argument list (or a debug record, which has none);
// false for any other line, which view may then partly hold. The line holds
// no NUL byte: the caller sends such a line to the library's parser.
bool scan_plain_record(std::string_view line, std::uint32_t record_version, RecordView& view);

// The view of a record xoltLogMsgParse filled; valid while it lives.
RecordView view_of(const XoltLogMsg& msg);

}  // namespace xoltlog::tool
