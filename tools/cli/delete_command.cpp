// xoltlog delete: deletes the log files of a selection, or only those that
// recycling would delete (--surplus), through the library's deletion.
#include <sys/stat.h>

#include <ctime>
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/log_selection.h"
#include "cli/tool_error.h"
#include "xoltlog/file_list.h"

namespace xoltlog::tool {
namespace {

struct DeleteOptions {
  SelectionOptions selection;
  std::string older_than;
  bool surplus = false;
  bool all = false;
  bool dry_run = false;
};

// "7d" reads as "-7d": an age; any time text of --where is taken too.
std::optional<std::int64_t> older_than_time(const std::string& text) {
  const auto now = static_cast<std::int64_t>(std::time(nullptr));
  if (!text.empty() && text[0] >= '0' && text[0] <= '9' && text.find('-') == std::string::npos) {
    if (auto age = parse_time_text("-" + text, now)) return age;
  }
  return parse_time_text(text, now);
}

void check_restricted(const DeleteOptions& options) {
  const SelectionOptions& s = options.selection;
  if (options.all || options.surplus || !options.older_than.empty() || !s.product.empty() ||
      !s.where.empty()) {
    return;
  }
  throw ToolError(ExitCode::kUsage, "refusing to delete the log files of every product",
                  "name a selection (--product, --where, --older-than, --surplus) or pass --all");
}

bool deleted(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) != 0;
}

void run_delete(const DeleteOptions& options) {
  check_restricted(options);
  std::optional<std::int64_t> cutoff;
  if (!options.older_than.empty()) {
    cutoff = older_than_time(options.older_than);
    if (!cutoff) {
      throw ToolError(ExitCode::kBadQuery, "--older-than: not an age or time: " + options.older_than,
                      "write an age like 7d or 12h, or a time like \"2026-03-01 00:00\"");
    }
  }
  const SelectedFiles selected = options.surplus ? select_surplus_files(options.selection)
                                                 : select_log_files(options.selection, false);
  std::size_t failed = 0, matched = 0;
  for (const LogFile& file : selected.files) {
    if (cutoff && file.last_write >= *cutoff) continue;
    ++matched;
    if (options.dry_run) {
      std::cout << "would delete " << file.path << "\n";
      continue;
    }
    xoltLogDeleteFile(file.path.c_str());
    if (!deleted(file.path)) {
      std::cerr << "xoltlog: could not delete " << file.path << "\n";
      ++failed;
      continue;
    }
    std::cout << "deleted " << file.path << "\n";
  }
  if (matched == 0) std::cerr << "xoltlog: no log file matches\n";
  if (failed != 0) {
    throw ToolError(ExitCode::kFiles,
                    std::to_string(failed) + (failed == 1 ? " file" : " files") +
                        " could not be deleted",
                    "check the permissions of their directory");
  }
}

void add_delete(CLI::App& app, const GlobalOptions& global) {
  auto options = std::make_shared<DeleteOptions>();
  CLI::App* command = app.add_subcommand("delete", "Delete the log files of a selection");
  add_selection_options(command, options->selection);
  command->add_option("--older-than", options->older_than,
                      "Only files last written before this age (7d, 12h) or time");
  command->add_flag("--surplus", options->surplus,
                    "Only the files recycling would delete: the oldest beyond each writer's "
                    "number of log files");
  command->add_flag("--all", options->all, "Allow deleting without any selection");
  command->add_flag("--dry-run,-n", options->dry_run, "Print what would be deleted, delete nothing");
  command->footer(
      "Exit codes: 0 deleted (or nothing matched); 2 no selection without --all;\n"
      "3 bad --where or --older-than; 4 no such product; 6 store unreadable;\n"
      "7 a file could not be deleted.");
  command->callback([options, &global] {
    apply_store_option(global);
    run_delete(*options);
  });
}

const CommandRegistration kRegistration(60, add_delete);

}  // namespace
}  // namespace xoltlog::tool
