// xoltlog copy: copies the log files of a selection into a directory
// through the library's copy, never over a file that is there already
// unless asked to, and never through a symbolic link.
#include <sys/stat.h>

#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/log_selection.h"
#include "cli/tool_error.h"
#include "xoltlog/file_list.h"

namespace xoltlog::tool {
namespace {

struct CopyOptions {
  SelectionOptions selection;
  std::string to;
  bool dry_run = false;
  bool overwrite = false;
};

// The directory without its trailing separators, as the library's copy
// wants it ("/" stays reachable: the file's own separator follows).
std::string bare_directory(std::string directory) {
  while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
  if (directory == "/") directory.clear();
  return directory;
}

void check_directory(const std::string& directory) {
  struct stat status {};
  if (::stat(directory.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
    throw ToolError(ExitCode::kNotFound, "no directory " + directory,
                    "create it first; copy does not make directories");
  }
}

// Why the target must not be written, or empty.
std::string target_refusal(const std::string& target, bool overwrite) {
  struct stat status {};
  if (::lstat(target.c_str(), &status) != 0) return {};
  if (S_ISLNK(status.st_mode)) return "is a symbolic link";
  if (!S_ISREG(status.st_mode)) return "exists and is not a regular file";
  return overwrite ? std::string() : "exists (--overwrite replaces it)";
}

void run_copy(const CopyOptions& options) {
  check_directory(options.to);
  const std::string directory = bare_directory(options.to);
  const SelectedFiles selected = select_log_files(options.selection, false);
  if (selected.files.empty()) std::cerr << "xoltlog: no log file matches\n";
  ExitCode worst = ExitCode::kOk;
  for (const LogFile& file : selected.files) {
    const std::string target = directory + "/" + file.name;
    if (const std::string refusal = target_refusal(target, options.overwrite); !refusal.empty()) {
      std::cerr << "xoltlog: not copying " << file.path << ": " << target << " " << refusal << "\n";
      if (worst == ExitCode::kOk) worst = ExitCode::kRefused;
      continue;
    }
    if (options.dry_run) {
      std::cout << "would copy " << file.path << " -> " << target << "\n";
      continue;
    }
    const std::uint32_t result = xoltLogCopyFile(file.path.c_str(), directory.c_str());
    if (result != 0) {
      std::cerr << "xoltlog: copying " << file.path << " failed: " << result_text(result) << "\n";
      worst = ExitCode::kFiles;
      continue;
    }
    std::cout << "copied " << file.path << " -> " << target << "\n";
  }
  if (worst != ExitCode::kOk) {
    throw ToolError(worst, "some files were not copied",
                    worst == ExitCode::kRefused ? "remove the targets, or pass --overwrite"
                                                : "check the messages above");
  }
}

void add_copy(CLI::App& app, const GlobalOptions& global) {
  auto options = std::make_shared<CopyOptions>();
  CLI::App* command =
      app.add_subcommand("copy", "Copy the log files of a selection into a directory");
  command->add_option("--to", options->to, "Existing directory to copy into")->required();
  add_selection_options(command, options->selection);
  command->add_flag("--dry-run,-n", options->dry_run, "Print what would be copied, copy nothing");
  command->add_flag("--overwrite", options->overwrite, "Replace files of the same name there");
  command->footer(
      "Exit codes: 0 copied; 3 bad --where; 4 no such product or directory;\n"
      "5 a target exists; 6 store unreadable; 7 a copy failed.");
  command->callback([options, &global] {
    apply_store_option(global);
    run_copy(*options);
  });
}

const CommandRegistration kRegistration(50, add_copy);

}  // namespace
}  // namespace xoltlog::tool
