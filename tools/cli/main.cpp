// xoltlog: configure products, list and show their log files, log from
// scripts, copy and delete log files.
#include <exception>
#include <iostream>
#include <string>

#include "cli/commands.h"
#include "cli/exit_code.h"
#include "cli/tool_error.h"

namespace xoltlog::tool {
namespace {

constexpr const char* kStoreHelp =
    "Configuration store for this command: a store file (a path containing \".conf\") or a "
    "registry key path; overrides XOLTLOG_CFG_LOC";

// --store is taken wherever it stands: before the command, after it, or
// after a subcommand of config, as a user writes it.
void add_store_option(CLI::App& command, GlobalOptions& global) {
  command.add_option("--store", global.store, kStoreHelp);
  for (CLI::App* sub : command.get_subcommands([](CLI::App*) { return true; })) {
    add_store_option(*sub, global);
  }
}

// "xoltlog config set": the command line parsed so far, for the hint.
std::string command_path(const CLI::App& app) {
  std::string path = app.get_name();
  for (const CLI::App* at = &app; !at->get_subcommands().empty();) {
    at = at->get_subcommands().front();
    path += " " + at->get_name();
  }
  return path;
}

int run(int argc, char** argv) {
  CLI::App app{"Configure products and read, follow and manage their log files."};
  app.name("xoltlog");
  app.require_subcommand(1);
  app.footer(
      "Exit codes: 0 success; 1 failed; 2 bad command line; 3 bad --where, time or\n"
      "selection; 4 not found; 5 refused; 6 configuration store; 7 log files; 70 fault\n"
      "in the tool (xoltlog(1)). 'xoltlog COMMAND --help' describes a command.");
  GlobalOptions global;
  add_registered_commands(app, global);
  add_store_option(app, global);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // Help is printed as CLI11 lays it out; a usage error is reported as
    // every other failure is, with our code 2 rather than CLI11's own.
    if (error.get_exit_code() == 0) return app.exit(error);
    std::cerr << "xoltlog: " << error.what() << "\n  run '" << command_path(app)
              << " --help' for the arguments it takes\n";
    return static_cast<int>(ExitCode::kUsage);
  }
  return static_cast<int>(ExitCode::kOk);
}

}  // namespace
}  // namespace xoltlog::tool

int main(int argc, char** argv) {
  using xoltlog::tool::ExitCode;
  try {
    return xoltlog::tool::run(argc, argv);
  } catch (const xoltlog::tool::ToolError& error) {
    std::cerr << "xoltlog: " << error.what() << "\n";
    // Every failure says what to do next; one without a hint of its own
    // points at the command's help and the manual.
    std::cerr << "  "
              << (error.hint().empty() ? "see 'xoltlog COMMAND --help' and xoltlog(1)"
                                       : error.hint())
              << "\n";
    return static_cast<int>(error.code());
  } catch (const std::bad_alloc&) {
    std::cerr << "xoltlog: out of memory\n";
    return static_cast<int>(ExitCode::kFailed);
  } catch (const std::exception& error) {
    std::cerr << "xoltlog: internal error: " << error.what() << "\n";
    return static_cast<int>(ExitCode::kInternal);
  }
}
