// The tokens of a --where expression. Internal to the tool.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace xoltlog::tool::where {

struct Token {
  enum class Kind { kWord, kQuoted, kRegex, kOperator, kOpen, kClose, kEnd } kind = Kind::kEnd;
  std::string text;  // a quoted text or regex without its delimiters and escapes
  std::size_t column = 0;
};

// Splits text into tokens, ending with one kEnd token; throws WhereError
// at an unterminated quote or regex, or a byte that starts no token.
std::vector<Token> tokenize(std::string_view text);

}  // namespace xoltlog::tool::where
