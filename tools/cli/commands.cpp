#include "cli/commands.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace xoltlog::tool {
namespace {

std::vector<std::pair<int, CommandAdder>>& registry() {
  static std::vector<std::pair<int, CommandAdder>> commands;
  return commands;
}

}  // namespace

void apply_store_option(const GlobalOptions& global) {
  if (!global.store.empty()) {
    setenv("XOLTLOG_CFG_LOC", global.store.c_str(), 1);
  }
}

CommandRegistration::CommandRegistration(int order, CommandAdder add) {
  registry().emplace_back(order, add);
}

void add_registered_commands(CLI::App& app, const GlobalOptions& global) {
  auto& commands = registry();
  std::stable_sort(commands.begin(), commands.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [order, add] : commands) add(app, global);
}

}  // namespace xoltlog::tool
