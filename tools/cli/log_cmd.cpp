// xoltlog log: writes messages to a product's log file from a shell
// script, as logger(1) does for syslog: the text from the arguments, or
// every line of standard input as a message of its own.
#include <algorithm>
#include <cctype>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/config_store.h"
#include "cli/tool_error.h"
#include "xoltlog/handle.h"
#include "xoltlog/log.h"
#include "xoltlog/writer.h"

namespace xoltlog::tool {
namespace {

struct LogOptions {
  std::string product;
  std::string originator = "Default";
  std::string kind = "app";
  std::string severity = "info";
  int level = 1;
  std::string who;
  std::string subject;
  std::string outcome = "success";
  std::uint32_t id = 0;
  std::vector<std::string> words;
};

enum class Kind { kApp, kDiag, kDebug, kAudit };

struct Message {
  Kind kind = Kind::kApp;
  std::uint32_t severity = 0;
  std::uint32_t outcome = 0;
};

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::uint32_t severity_of(const std::string& text) {
  const std::string word = lower(text);
  if (word == "info" || word == "information" || word == "0") return 0;
  if (word == "warning" || word == "warn" || word == "1") return 1;
  if (word == "error" || word == "err" || word == "2") return 2;
  if (word == "3" || word == "4") return static_cast<std::uint32_t>(word[0] - '0');
  throw ToolError(ExitCode::kUsage, "unknown severity \"" + text + "\"",
                  "give info, warning, error or a number from 0 to 4");
}

std::uint32_t outcome_of(const std::string& text) {
  const std::string word = lower(text);
  if (word == "success" || word == "0") return 0;
  if (word == "failure" || word == "1") return 1;
  throw ToolError(ExitCode::kUsage, "unknown outcome \"" + text + "\"",
                  "give success or failure");
}

Message message_of(const LogOptions& options) {
  Message message;
  const std::string kind = lower(options.kind);
  if (kind == "app") {
    message.kind = Kind::kApp;
    message.severity = severity_of(options.severity);
  } else if (kind == "diag" || kind == "debug") {
    message.kind = kind == "diag" ? Kind::kDiag : Kind::kDebug;
    if (options.level < 1 || options.level > 6) {
      throw ToolError(ExitCode::kUsage, "a level is a number from 1 to 6",
                      "give --level 1 (the most important) to 6 (the most detail)");
    }
  } else if (kind == "audit") {
    message.kind = Kind::kAudit;
    message.outcome = outcome_of(options.outcome);
    if (options.id == 0) {
      throw ToolError(ExitCode::kUsage, "an audit message needs a catalog message id",
                      "give --id N (the text becomes the message's argument)");
    }
  } else {
    throw ToolError(ExitCode::kUsage, "unknown kind \"" + options.kind + "\"",
                    "give app, diag, debug or audit");
  }
  return message;
}

class OpenHandle {
 public:
  OpenHandle(std::uint32_t product, std::uint32_t originator) {
    const std::uint32_t result = xoltLogOpen(product, originator, &handle_);
    open_ = result == XOLTLOG_OK || result == XOLTLOG_E_OSLOG_OPEN;
    if (result == XOLTLOG_E_OSLOG_OPEN) {
      std::cerr << "xoltlog: note: the event-log copy cannot be made; the log file is written\n";
    }
    if (!open_) {
      // A failed open leaves what it allocated to the close.
      xoltLogClose(&handle_);
      fail_open(result, product);
    }
  }
  OpenHandle(const OpenHandle&) = delete;
  OpenHandle& operator=(const OpenHandle&) = delete;
  ~OpenHandle() {
    if (open_) xoltLogClose(&handle_);
  }
  XoltLogHandle* get() { return &handle_; }

 private:
  [[noreturn]] static void fail_open(std::uint32_t result, std::uint32_t product) {
    const std::string id = std::to_string(product);
    if (result == XOLTLOG_E_NO_DIRECTORY) {
      check_result(result, ExitCode::kStore, "cannot log for product " + id,
                   "set a log directory: 'xoltlog config set " + id + " LogDirectory DIR'");
    }
    check_result(result, ExitCode::kFiles, "cannot open the log file of product " + id,
                 "'xoltlog config show " + id + "' shows the log directory; check that it "
                 "exists and can be written");
    throw ToolError(ExitCode::kInternal, "open failed");
  }

  XoltLogHandle handle_{};
  bool open_ = false;
};

// The level a message must not exceed to be logged; -1 for no filter.
std::int32_t threshold(XoltLogHandle* handle, Kind kind) {
  std::int32_t level = -1;
  if (kind == Kind::kDiag) xoltLogGetDiagLevel(handle, &level);
  if (kind == Kind::kDebug) xoltLogGetDebugLevel(handle, &level);
  return level;
}

std::uint32_t log_one(XoltLogHandle* handle, const LogOptions& options, const Message& message,
                      const std::string& text) {
  const char* who = options.who.c_str();
  switch (message.kind) {
    case Kind::kApp:
      return xoltLogAppMsgEx(handle, 0, message.severity, who, options.id, "%s", text.c_str());
    case Kind::kDiag:
      return xoltLogDiagMsg(handle, 0, options.level, who, options.id, "%s", text.c_str());
    case Kind::kDebug:
      return xoltLogDebugMsg(handle, 0, options.level, who, "%s", text.c_str());
    case Kind::kAudit:
      return xoltLogAuditMsg(handle, 0, options.subject.c_str(), message.outcome, options.id,
                             "%s", text.c_str());
  }
  return XOLTLOG_E_INVALID_ARG;
}

void check_logged(std::uint32_t result) {
  if (result == XOLTLOG_E_RIR || result == XOLTLOG_E_RIR_OTHER) {
    check_result(result, ExitCode::kFailed, "the message cannot be built",
                 "check that the message-catalog library is installed");
  }
  check_result(result, ExitCode::kFiles, "cannot write the message",
               "check that the log directory exists and can be written");
}

// The text from the arguments, or each line of standard input as it
// comes, so that a pipe from a running program is logged as it goes.
void log_texts(XoltLogHandle* handle, const LogOptions& options, const Message& message) {
  if (!options.words.empty()) {
    std::string joined;
    for (const std::string& word : options.words) joined += (joined.empty() ? "" : " ") + word;
    check_logged(log_one(handle, options, message, joined));
    return;
  }
  for (std::string line; std::getline(std::cin, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) check_logged(log_one(handle, options, message, line));
  }
}

void note_filtered(const LogOptions& options, Kind kind, std::uint32_t product,
                   std::int32_t level) {
  const bool diag = kind == Kind::kDiag;
  std::cerr << "xoltlog: note: not logged: the " << (diag ? "diagnostic" : "debug")
            << " level in force is " << level << "\n"
            << "  raise it with 'xoltlog config set " << product << " --originator "
            << options.originator << (diag ? " DiagnosticLevel " : " DebugLevel ")
            << options.level << "'\n";
}

void run_log(const GlobalOptions& global, const LogOptions& options) {
  apply_store_option(global);
  const Message message = message_of(options);
  require_store();
  const std::uint32_t product = resolve_product(options.product);
  product_location(product);  // a clear message for a product that is not registered
  const std::uint32_t originator = resolve_originator(product, options.originator);
  OpenHandle handle(product, originator);
  const std::int32_t level = threshold(handle.get(), message.kind);
  if (level >= 0 && options.level > level) {
    note_filtered(options, message.kind, product, level);
    return;
  }
  log_texts(handle.get(), options, message);
}

void add_log(CLI::App& app, const GlobalOptions& global) {
  auto options = std::make_shared<LogOptions>();
  CLI::App* sub = app.add_subcommand(
      "log", "Write a message to a product's log file (the text, or each line of standard input)");
  sub->add_option("--product,-p", options->product, "Product id or name")->required();
  sub->add_option("--originator,-o", options->originator, "Originator id or name")
      ->capture_default_str();
  sub->add_option("--kind,-k", options->kind, "app, diag, debug or audit")->capture_default_str();
  sub->add_option("--severity,-s", options->severity,
                  "Application messages: info, warning, error, or 0 to 4")
      ->capture_default_str();
  sub->add_option("--level", options->level, "Diagnostic and debug messages: 1 to 6")
      ->capture_default_str();
  sub->add_option("--who,-w", options->who, "Who logs (application, diagnostic, debug)");
  sub->add_option("--subject", options->subject, "Audit messages: the subject");
  sub->add_option("--outcome", options->outcome, "Audit messages: success or failure")
      ->capture_default_str();
  sub->add_option("--id", options->id,
                  "Catalog message id; the text becomes its argument (required for audit)");
  sub->add_option("text", options->words, "The message; without it, standard input");
  sub->callback([&global, options] { run_log(global, *options); });
}

const CommandRegistration kRegistration(20, add_log);

}  // namespace
}  // namespace xoltlog::tool
