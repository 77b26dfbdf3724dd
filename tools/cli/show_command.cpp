// xoltlog show: the records of log files, or of the whole series of a
// product, originator or logset, for a person or as JSON lines; --follow
// keeps printing what the writers append, across rollovers and recycling.
#include <signal.h>

#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/log_selection.h"
#include "cli/show_file.h"
#include "cli/show_output.h"
#include "cli/tool_error.h"
#include "xoltlog/xoltlog.h"

namespace xoltlog::tool {
namespace {

struct ShowOptions {
  std::vector<std::string> files;
  SelectionOptions selection;
  std::string since;
  std::string until;
  bool json = false;
  bool follow = false;
};

volatile sig_atomic_t g_stop = 0;

extern "C" void on_stop_signal(int) { g_stop = 1; }

// SIGINT and SIGTERM end following at the next record or poll; a closed
// standard output shows as EPIPE on the next write instead of a signal.
void install_signal_handlers(bool follow) {
  signal(SIGPIPE, SIG_IGN);
  if (!follow) return;
  struct sigaction action {};
  action.sa_handler = on_stop_signal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

std::optional<std::int64_t> time_option(const std::string& text, const char* option) {
  if (text.empty()) return std::nullopt;
  const auto seconds = parse_time_text(text, static_cast<std::int64_t>(std::time(nullptr)));
  if (!seconds) {
    throw ToolError(ExitCode::kBadQuery, std::string("bad ") + option + " time '" + text + "'",
                    "give a local time as \"2026-03-14 10:00[:ss]\", add a zone "
                    "(\"...+01:00\", \"...Z\"), or a relative time as \"-1h\"");
  }
  return *seconds * 1000;
}

// Product and originator names of an expression over files named on the
// command line: the store is read only when the expression names one.
class StoreNames {
 public:
  StoreNames() = default;
  ~StoreNames() {
    if (read_) FreeConfigArray(records_.data(), static_cast<std::uint32_t>(count_));
  }
  StoreNames(const StoreNames&) = delete;
  StoreNames& operator=(const StoreNames&) = delete;

  // 0 when no record of the store has that name (or the store cannot be
  // read): the expression is then refused as naming an unknown one.
  std::uint32_t id(std::int32_t code, const std::string& name) {
    if (!read_) {
      read_ = true;
      records_.assign(kCapacity, nullptr);
      if (xoltLogReadAllCfg(nullptr, kCapacity, records_.data(), &count_) != 0) count_ = 0;
    }
    return GetIdFromName(records_.data(), static_cast<std::uint32_t>(count_), code, name.c_str());
  }

 private:
  static constexpr std::uint64_t kCapacity = 1024;
  bool read_ = false;
  std::vector<XoltLogCfg*> records_;
  std::uint64_t count_ = 0;
};

struct Plan {
  std::vector<std::pair<std::string, std::string>> files;  // path, logset name
  WhereQuery query;
};

Plan plan_of(ShowOptions& options) {
  const SelectionOptions& selection = options.selection;
  const bool selects = !selection.product.empty() || !selection.originator.empty() ||
                       !selection.logset.empty();
  if (selects == !options.files.empty()) {
    throw ToolError(ExitCode::kUsage,
                    selects ? "give log files or a selection (--product ...), not both"
                            : "nothing to show",
                    "name log files, or a product with --product (and --originator or --logset)");
  }
  Plan plan;
  if (!selects) {
    for (const std::string& path : options.files) plan.files.emplace_back(path, "");
    StoreNames names;
    plan.query = parse_where(selection.where, WhereQuery::Scope::kRecords,
                             [&](std::int32_t code, const std::string& name) {
                               return names.id(code, name);
                             });
    return plan;
  }
  SelectedFiles selected = select_log_files(options.selection, false, WhereQuery::Scope::kRecords);
  if (selected.files.empty()) {
    throw ToolError(ExitCode::kNotFound, "no log file matches the selection",
                    "list them with xoltlog files");
  }
  for (const LogFile& file : selected.files) plan.files.emplace_back(file.path, file.logset);
  plan.query = std::move(selected.query);
  return plan;
}

void run_show(ShowOptions& options) {
  install_signal_handlers(options.follow);
  Shower shower(options.json, time_option(options.since, "--since"),
                time_option(options.until, "--until"));
  Plan plan = plan_of(options);
  shower.set_query(std::move(plan.query), !options.selection.where.empty());
  for (const auto& [path, logset] : plan.files) {
    if (g_stop != 0 || shower.closed()) break;
    shower.show_file(path, logset, options.follow);
  }
  if (options.follow) shower.follow(g_stop);
  shower.finish();
}

void add_show(CLI::App& app, const GlobalOptions& global) {
  auto options = std::make_shared<ShowOptions>();
  CLI::App* show = app.add_subcommand(
      "show", "Show the records of log files, or of the series of a product, originator or "
              "logset, in time order");
  show->add_option("files", options->files, "Log files to show, in the order given");
  add_selection_options(show, options->selection);
  show->add_option("--since", options->since,
                   "Only records from this time on: \"2026-03-14 10:00[:ss]\" in local time, "
                   "with a zone (\"...+01:00\", \"...Z\"), or \"-1h\"");
  show->add_option("--until", options->until, "Only records up to this time (same forms)");
  show->add_flag("--json", options->json,
                 "One JSON object per line (fields in docs/guide/record-format.md)");
  show->add_flag("--follow,-f", options->follow,
                 "Keep printing new records as they are written, across rollovers; "
                 "stop with Ctrl-C");
  show->callback([options, &global] {
    apply_store_option(global);
    run_show(*options);
  });
}

const CommandRegistration kRegistration(40, add_show);

}  // namespace
}  // namespace xoltlog::tool
