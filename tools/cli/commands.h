// The subcommands. Each lives in a file of its own and registers itself
// with a static CommandRegistration, naming where it stands in the help
// listing; main adds every registered command to the application. A
// command's callback reports failure by throwing ToolError.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace xoltlog::tool {

// Options every command sees.
struct GlobalOptions {
  std::string store;  // --store: the configuration store for this command
};

// Makes the XOLTLOG_CFG_LOC of this process the --store given, if any;
// every command's callback calls it before its first library call (the
// library reads the store location once per process).
void apply_store_option(const GlobalOptions& global);

using CommandAdder = void (*)(CLI::App& app, const GlobalOptions& global);

struct CommandRegistration {
  CommandRegistration(int order, CommandAdder add);
};

// Adds the registered commands to app, in their order.
void add_registered_commands(CLI::App& app, const GlobalOptions& global);

}  // namespace xoltlog::tool
