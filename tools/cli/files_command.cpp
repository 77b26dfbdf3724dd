// xoltlog files: the log files of a selection with their header data, as a
// table or as JSON.
#include <ctime>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/log_selection.h"
#include "cli/tool_error.h"

namespace xoltlog::tool {
namespace {

struct FilesOptions {
  SelectionOptions selection;
  bool json = false;
};

// Local time with its offset: "2026-03-14 10:30:05 +0100", or in ISO 8601
// "2026-03-14T10:30:05.123+01:00" (milliseconds when given).
std::string local_time(std::int64_t seconds, bool iso, std::optional<int> millis = std::nullopt) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
  if (localtime_r(&time, &parts) == nullptr) return "?";
  char text[64] = {};
  std::strftime(text, sizeof text, iso ? "%Y-%m-%dT%H:%M:%S" : "%Y-%m-%d %H:%M:%S", &parts);
  std::string out = text;
  if (millis) {
    char fraction[8] = {};
    std::snprintf(fraction, sizeof fraction, ".%03d", *millis);
    out += fraction;
  }
  std::strftime(text, sizeof text, "%z", &parts);
  std::string zone = text;
  if (iso && zone.size() == 5) zone.insert(3, ":");
  return out + (iso ? "" : " ") + zone;
}

std::optional<std::string> record_time(const std::optional<std::int64_t>& ms, bool iso) {
  if (!ms) return std::nullopt;
  const std::int64_t seconds = *ms >= 0 ? *ms / 1000 : (*ms - 999) / 1000;
  return local_time(seconds, iso, static_cast<int>(*ms - seconds * 1000));
}

nlohmann::json to_json(const LogFile& file) {
  nlohmann::json out{{"path", file.path},
                     {"name", file.name},
                     {"product", file.product},
                     {"originator", file.originator},
                     {"logset", file.logset.empty() ? nlohmann::json() : nlohmann::json(file.logset)},
                     {"size", file.size},
                     {"modified", local_time(file.last_write, true)}};
  if (file.header_read) {
    out["header_version"] = file.header_version;
    out["host"] = file.host;
    out["created"] = local_time(file.created, true);
    out["created_epoch"] = file.created;
    out["tz_offset"] = file.tz_offset;
  } else {
    out["problem"] = file.header_problem;
  }
  const auto first = record_time(file.first_record_ms, true);
  const auto last = record_time(file.last_record_ms, true);
  out["first_record"] = first ? nlohmann::json(*first) : nlohmann::json();
  out["last_record"] = last ? nlohmann::json(*last) : nlohmann::json();
  return out;
}

void print_table(const std::vector<LogFile>& files) {
  std::vector<std::vector<std::string>> rows{{"CREATED", "SIZE", "FIRST RECORD", "LAST RECORD",
                                              "HOST", "FILE"}};
  for (const LogFile& file : files) {
    rows.push_back({file.header_read ? local_time(file.created, false) : "-",
                    std::to_string(file.size),
                    record_time(file.first_record_ms, false).value_or("-"),
                    record_time(file.last_record_ms, false).value_or("-"),
                    file.header_read ? file.host : "-", file.path});
  }
  std::vector<std::size_t> widths(rows[0].size(), 0);
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  }
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line += std::string(widths[i] - row[i].size() + 2, ' ');
    }
    std::cout << line << "\n";
  }
}

void run_files(const FilesOptions& options) {
  const SelectedFiles selected = select_log_files(options.selection, true);
  if (options.json) {
    nlohmann::json out = nlohmann::json::array();
    for (const LogFile& file : selected.files) out.push_back(to_json(file));
    std::cout << out.dump(2) << "\n";
  } else if (selected.files.empty()) {
    std::cerr << "xoltlog: no log file matches\n";
  } else {
    print_table(selected.files);
  }
  std::size_t unreadable = 0;
  for (const LogFile& file : selected.files) {
    if (file.header_read) continue;
    std::cerr << "xoltlog: " << file.path << ": " << file.header_problem << "\n";
    ++unreadable;
  }
  if (unreadable != 0) {
    throw ToolError(ExitCode::kFiles, std::to_string(unreadable) + " of the files listed " +
                                          "could not be read",
                    "check their permissions, or run as their owner");
  }
}

void add_files(CLI::App& app, const GlobalOptions& global) {
  auto options = std::make_shared<FilesOptions>();
  CLI::App* command = app.add_subcommand(
      "files", "List the log files of products, originators or logsets with their header data");
  add_selection_options(command, options->selection);
  command->add_flag("--json", options->json, "Print a JSON array instead of a table");
  command->footer(
      "Without a selection, the files of every registered product are listed, oldest first.\n"
      "Exit codes: 0 listed; 3 bad --where; 4 no such product, originator or logset;\n"
      "6 store unreadable; 7 a listed file could not be read.");
  command->callback([options, &global] {
    apply_store_option(global);
    run_files(*options);
  });
}

const CommandRegistration kRegistration(30, add_files);

}  // namespace
}  // namespace xoltlog::tool
