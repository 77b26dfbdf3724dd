// The log files a command works on: the configuration records of the
// products, originators or logsets named on the command line, the files
// the library collects for them (filtered by the --where expression's
// necessary condition), and what the tool learns of each file (header,
// times, size, the first and last record's time). Shared by files, copy and
// delete; throws ToolError.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/where.h"

namespace xoltlog::tool {

struct SelectionOptions {
  std::string product;
  std::string originator;
  std::string logset;
  std::string where;
};

// Adds --product, --originator, --logset and --where to a command.
void add_selection_options(CLI::App* command, SelectionOptions& options);

// One selected log file.
struct LogFile {
  std::string path;  // directory and name
  std::string name;
  std::uint32_t product = 0;
  std::uint32_t originator = 0;  // 0 for a logset file
  std::string logset;            // the logset's name; empty for ordinary files
  std::int64_t start = 0;        // as the library collects it (creation, or the name's time)
  std::int64_t last_write = 0;
  std::uint64_t size = 0;
  // From the header; header_problem says why there is none.
  bool header_read = false;
  std::uint32_t header_version = 0;
  std::string host;
  std::int64_t created = 0;
  std::int32_t tz_offset = -1;
  std::string header_problem;
  // Milliseconds since 1970 UTC; absent when the file has no record, or
  // its records carry no timestamp (header versions before 0x10007).
  std::optional<std::int64_t> first_record_ms;
  std::optional<std::int64_t> last_record_ms;
};

struct SelectedFiles {
  std::vector<LogFile> files;  // oldest first
  WhereQuery query;            // the parsed --where expression
};

// Reads the configuration, collects the files of the selection and keeps
// those the expression matches. read_records: also find each file's first
// and last record time (files reads them; copy and delete need not). With
// the records scope (show), the expression may use record fields, a file is
// kept when records of it may match (may_match_records_of), and the caller
// filters the records with query.matches(RecordFields).
SelectedFiles select_log_files(const SelectionOptions& options, bool read_records,
                               WhereQuery::Scope scope = WhereQuery::Scope::kFiles);

// The files recycling would delete (the oldest of each writer beyond its
// number of log files, xoltLogGetManageableLogFiles[SL]) within the
// selection, filtered by the expression; youngest first.
SelectedFiles select_surplus_files(const SelectionOptions& options);

// The matching decision alone, for lists the library selected otherwise
// (surplus files): the same fields select_log_files tests.
FileFields file_fields(const LogFile& file);

// Fills what the tool learns of the file at path (name, header, times,
// size); read_records as above.
LogFile inspect_log_file(const std::string& directory, const std::string& name,
                         std::int64_t start, bool read_records);


// Parses a --where expression; a bad one throws ToolError with kBadQuery
// (kNotFound for an unknown name), pointing at its column.
WhereQuery parse_where(const std::string& expression, WhereQuery::Scope scope,
                       const NameResolver& resolve);

}  // namespace xoltlog::tool
