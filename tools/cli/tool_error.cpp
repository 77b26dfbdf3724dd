#include "cli/tool_error.h"

#include "xoltlog/result.h"

namespace xoltlog::tool {

std::string result_text(std::uint32_t result) {
  const char* meaning = "unknown result";
#define XOLTLOG_TOOL_CASE_(name, code, text) \
  if (result == (code)) meaning = (text);
  XOLTLOG_RESULT_TABLE(XOLTLOG_TOOL_CASE_, XOLTLOG_TOOL_CASE_)
#undef XOLTLOG_TOOL_CASE_
  return std::string(meaning) + " (" + std::to_string(result) + ")";
}

void check_result(std::uint32_t result, ExitCode code, const std::string& what,
                  const std::string& hint) {
  if (result != XOLTLOG_OK) {
    throw ToolError(code, what + ": " + result_text(result), hint);
  }
}

}  // namespace xoltlog::tool
