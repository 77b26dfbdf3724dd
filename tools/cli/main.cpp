// xoltlog: configure products, list and show their log files, log from
// scripts, copy and delete log files.
#include <exception>
#include <iostream>

#include "cli/commands.h"
#include "cli/exit_code.h"
#include "cli/tool_error.h"

namespace xoltlog::tool {
namespace {

int run(int argc, char** argv) {
  CLI::App app{"Configure products and read, follow and manage their log files."};
  app.name("xoltlog");
  app.require_subcommand(1);
  GlobalOptions global;
  app.add_option("--store", global.store,
                 "Configuration store for this command: a store file (a path containing "
                 "\".conf\") or a registry path; overrides XOLTLOG_CFG_LOC");
  add_registered_commands(app, global);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // CLI11's own codes are not ours: a usage error is 2, help is 0.
    const int printed = app.exit(error);
    return printed == 0 ? 0 : static_cast<int>(ExitCode::kUsage);
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
    if (!error.hint().empty()) std::cerr << "  " << error.hint() << "\n";
    return static_cast<int>(error.code());
  } catch (const std::bad_alloc&) {
    std::cerr << "xoltlog: out of memory\n";
    return static_cast<int>(ExitCode::kFailed);
  } catch (const std::exception& error) {
    std::cerr << "xoltlog: internal error: " << error.what() << "\n";
    return static_cast<int>(ExitCode::kInternal);
  }
}
