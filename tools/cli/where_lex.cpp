#include "cli/where_lex.h"

#include "cli/where.h"

namespace xoltlog::tool::where {
namespace {

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool ends_word(char c) {
  return is_space(c) || c == '(' || c == ')' || c == '=' || c == '!' || c == '<' || c == '>' ||
         c == '~' || c == '"' || c == '\'';
}

class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  std::vector<Token> run() {
    std::vector<Token> tokens;
    while (true) {
      while (pos_ < text_.size() && is_space(text_[pos_])) ++pos_;
      if (pos_ == text_.size()) break;
      const bool after_match = !tokens.empty() && tokens.back().kind == Token::Kind::kOperator &&
                               tokens.back().text == "~";
      tokens.push_back(next(after_match));
    }
    tokens.push_back({Token::Kind::kEnd, "", text_.size()});
    return tokens;
  }

 private:
  Token next(bool after_match) {
    const std::size_t start = pos_;
    const char c = text_[pos_];
    if (c == '(' || c == ')') {
      ++pos_;
      return {c == '(' ? Token::Kind::kOpen : Token::Kind::kClose, std::string(1, c), start};
    }
    if (c == '"' || c == '\'') return delimited(Token::Kind::kQuoted, c, true);
    if (c == '/' && after_match) return delimited(Token::Kind::kRegex, '/', false);
    if (c == '=' || c == '!' || c == '<' || c == '>' || c == '~') return op();
    while (pos_ < text_.size() && !ends_word(text_[pos_])) ++pos_;
    return {Token::Kind::kWord, std::string(text_.substr(start, pos_ - start)), start};
  }

  Token op() {
    const std::size_t start = pos_;
    const char c = text_[pos_++];
    const bool then_equal = pos_ < text_.size() && text_[pos_] == '=';
    if (c == '!' && !then_equal) {
      throw WhereError(start, "'!' alone is no operator: write != or not");
    }
    if (then_equal && c != '~') ++pos_;
    std::string text(text_.substr(start, pos_ - start));
    if (text == "==") text = "=";
    return {Token::Kind::kOperator, text, start};
  }

  // A quoted text drops every escaping backslash; a regex keeps them but
  // for an escaped delimiter, which the matcher would not understand.
  Token delimited(Token::Kind kind, char delimiter, bool drop_escapes) {
    const std::size_t start = pos_++;
    std::string value;
    while (pos_ < text_.size() && text_[pos_] != delimiter) {
      char c = text_[pos_++];
      if (c == '\\' && pos_ < text_.size()) {
        const char escaped = text_[pos_++];
        if (!drop_escapes && escaped != delimiter) value += c;
        c = escaped;
      }
      value += c;
    }
    if (pos_ == text_.size()) {
      throw WhereError(start, kind == Token::Kind::kRegex ? "unterminated regular expression"
                                                          : "unterminated quoted text");
    }
    ++pos_;
    return {kind, value, start};
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::vector<Token> tokenize(std::string_view text) { return Lexer(text).run(); }

}  // namespace xoltlog::tool::where
