// The subcommands of "xoltlog config", split over two files: registering,
// removing and listing products here; showing, setting and unsetting
// keys in config_settings.cpp.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace xoltlog::tool {

void add_config_settings(CLI::App& config, const GlobalOptions& global);

}  // namespace xoltlog::tool
