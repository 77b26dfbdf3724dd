// How a command fails: a message for the user, the exit code, and what to
// do next. Commands throw it; main prints it and exits with its code.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "cli/exit_code.h"

namespace xoltlog::tool {

class ToolError : public std::runtime_error {
 public:
  ToolError(ExitCode code, const std::string& message, std::string hint = {})
      : std::runtime_error(message), code_(code), hint_(std::move(hint)) {}
  ExitCode code() const noexcept { return code_; }
  const std::string& hint() const noexcept { return hint_; }

 private:
  ExitCode code_;
  std::string hint_;
};

// The meaning of a library result code, e.g. "no log file matched (45)".
std::string result_text(std::uint32_t result);

// Throws ToolError(code, "<what>: <result text>", hint) unless result is 0.
void check_result(std::uint32_t result, ExitCode code, const std::string& what,
                  const std::string& hint = {});

}  // namespace xoltlog::tool
