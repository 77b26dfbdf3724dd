// The --where query language: parsing an expression, the necessary
// condition the library can test while it collects files, and the full
// evaluation the tool runs per file and per record.
//
// Grammar (docs/guide/query-language.md):
//   expr  := or
//   or    := and ("or" and)*
//   and   := unary ("and" unary)*
//   unary := "not" unary | "(" expr ")" | field op value
//   op    := "=" | "!=" | "<" | ">" | "<=" | ">="  | "~"
// Keywords and field names are case-insensitive; a value is a bare word, a
// quoted text ("..." or '...', backslash escapes the next byte) or, after
// "~", a /regular expression/.
//
// A WhereQuery is immutable once parsed; evaluating it from several threads
// is safe. It owns the library tree it hands out.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "xoltlog/query.h"

namespace xoltlog::tool {

// A bad expression: what is wrong and the byte offset (0-based) in the
// expression where it was noticed.
class WhereError : public std::runtime_error {
 public:
  WhereError(std::size_t column, const std::string& message, bool not_found = false)
      : std::runtime_error(message), column_(column), not_found_(not_found) {}
  std::size_t column() const noexcept { return column_; }
  // True when the expression parses but names a product or originator the
  // configuration does not know.
  bool not_found() const noexcept { return not_found_; }

 private:
  std::size_t column_;
  bool not_found_;
};

// Record kinds, numbered as the record line numbers them.
enum class RecordKind : std::uint32_t { kDebug = 0, kDiag = 1, kApp = 2, kContext = 3, kAudit = 4 };

// What a file offers to a query: the fields files, copy and delete test.
struct FileFields {
  std::uint32_t product = 0;
  std::uint32_t originator = 0;  // the writer's, from the file name; 0 for a logset file
  std::string_view host;         // from the header; empty when unreadable
  std::string_view logset;       // the logset's name; empty for ordinary files
  std::int64_t start = 0;        // creation time (a logset file: the time in its name)
  std::int64_t last_write = 0;   // modification time
};

// What a record offers to a query. The show command fills one per record:
// the record's own fields from its line, the file's from the file it is in.
// Absent severity or level (a kind without one) make every comparison with
// that field false, "!=" included.
struct RecordFields {
  RecordKind kind = RecordKind::kApp;
  std::optional<std::uint32_t> severity;  // application records: 0 info, 1 warning, 2..4 error
  std::optional<std::uint32_t> level;     // diagnostic and debug records
  std::string_view who;                   // who, or an audit record's subject
  std::string_view text;                  // the rendered text
  std::string_view context;               // the context token
  std::uint32_t pid = 0;
  std::uint32_t tid = 0;
  std::int64_t time = 0;  // the record's timestamp in seconds since 1970 UTC
  std::uint32_t product = 0;     // a logset record carries none: the file's
  std::uint32_t originator = 0;  // the record's originator
  std::string_view host;         // the file's
  std::string_view logset;       // the file's logset name; empty for ordinary files
  std::int64_t start = 0;        // the file's start, as in FileFields
};

// The message for a bad expression: what is wrong, at which column
// (1-based), then the expression and a caret under that column, e.g.
//   column 11: expected a value after '>='
//     time >= and
//             ^
std::string describe_where_error(std::string_view expression, const WhereError& error);

// Turns a product (263) or originator (264) name into its identifier; 0
// when the configuration knows no such name.
using NameResolver = std::function<std::uint32_t(std::int32_t field_code, const std::string&)>;

class WhereQuery {
 public:
  // Which fields an expression may use: kFiles refuses the record-level
  // fields (kind, severity, level, who, text, pid, tid, context).
  enum class Scope { kFiles, kRecords };

  // Parses text; an empty or blank text matches everything. now is the
  // time relative times ("-1h") count from. Throws WhereError.
  static WhereQuery parse(std::string_view text, Scope scope, const NameResolver& resolve,
                          std::int64_t now);

  WhereQuery();  // matches everything
  ~WhereQuery();
  WhereQuery(WhereQuery&&) noexcept;
  WhereQuery& operator=(WhereQuery&&) noexcept;

  // A tree for a log file list's query (GetLogFiles): true for every file
  // that can satisfy the expression, so filtering by it loses nothing; it
  // may pass files the expression rejects. Null when it would not filter.
  // Owned by this query; the library writes its slots, so one tree serves
  // one list at a time.
  XoltLogQueryNode* file_tree() const noexcept;
  // True when file_tree() compares the host name (the library then reads
  // every candidate's header).
  bool uses_host() const noexcept;

  // The full evaluation. A records-scope expression that uses record
  // fields is false for every file: judge files with may_match_records_of.
  bool matches(const FileFields& file) const;
  bool matches(const RecordFields& record) const;
  // False only when no record of the file can match: the file's own fields
  // (product, host, logset, start) are decided, everything a record holds
  // (its fields, time and originator) is left open. For show, to skip
  // files before reading them.
  bool may_match_records_of(const FileFields& file) const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// "2026-03-14 10:00[:ss]" in local time, "2026-03-14T10:00Z", with an
// offset ("+01:00", "-0500", "GMT+5:30", "UTC"), a date alone (local
// midnight), "@<seconds since 1970>", "now", or relative to now ("-90s",
// "-15m", "-1h", "-2d", "-1w"): seconds since 1970 UTC; nullopt when the
// text is none of these.
std::optional<std::int64_t> parse_time_text(std::string_view text, std::int64_t now);

}  // namespace xoltlog::tool
