// Recursive descent over the tokens; nesting is bounded so that no
// expression can exhaust the stack.
#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <string>

#include "cli/where_ast.h"
#include "cli/where_lex.h"

namespace xoltlog::tool::where {
namespace {

constexpr int kMaxNesting = 64;
// Keeps the tree walks that follow (which recurse along "and"/"or" chains)
// within a small stack.
constexpr std::size_t kMaxComparisons = 1000;

struct FieldName {
  const char* name;
  Field field;
  bool record_only;
};

constexpr std::array<FieldName, 14> kFields{{
    {"product", Field::kProduct, false},   {"originator", Field::kOriginator, false},
    {"host", Field::kHost, false},         {"logset", Field::kLogset, false},
    {"time", Field::kTime, false},         {"start", Field::kStart, false},
    {"kind", Field::kKind, true},          {"severity", Field::kSeverity, true},
    {"level", Field::kLevel, true},        {"who", Field::kWho, true},
    {"text", Field::kText, true},          {"pid", Field::kPid, true},
    {"tid", Field::kTid, true},            {"context", Field::kContext, true},
}};

struct NamedNumber {
  const char* name;
  std::uint32_t value;
};

constexpr std::array<NamedNumber, 7> kKinds{{{"app", 2}, {"application", 2}, {"diag", 1},
                                             {"diagnostic", 1}, {"debug", 0}, {"audit", 4},
                                             {"context", 3}}};
constexpr std::array<NamedNumber, 4> kSeverities{
    {{"info", 0}, {"information", 0}, {"warning", 1}, {"error", 2}}};

std::string lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

template <std::size_t N>
std::optional<std::uint32_t> find_named(const std::array<NamedNumber, N>& table,
                                        std::string_view word) {
  const std::string key = lower(word);
  for (const auto& entry : table) {
    if (key == entry.name) return entry.value;
  }
  return std::nullopt;
}

std::optional<std::uint32_t> parse_u32(std::string_view text) {
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

Op to_op(const std::string& text) {
  if (text == "=") return Op::kEqual;
  if (text == "!=") return Op::kNotEqual;
  if (text == "<") return Op::kLess;
  if (text == ">") return Op::kGreater;
  if (text == "<=") return Op::kAtMost;
  if (text == ">=") return Op::kAtLeast;
  return Op::kMatch;
}

class Parser {
 public:
  Parser(std::string_view text, WhereQuery::Scope scope, const NameResolver& resolve,
         std::int64_t now, Ast& ast)
      : tokens_(tokenize(text)), scope_(scope), resolve_(resolve), now_(now), ast_(ast) {}

  void run() {
    if (peek().kind == Token::Kind::kEnd) return;
    ast_.root = parse_or(0);
    if (peek().kind != Token::Kind::kEnd) {
      throw WhereError(peek().column, "expected 'and', 'or' or the end, found '" +
                                          peek().text + "'");
    }
  }

 private:
  const Token& peek() const { return tokens_[pos_]; }
  const Token& take() { return tokens_[pos_ == tokens_.size() - 1 ? pos_ : pos_++]; }
  bool take_keyword(const char* word) {
    if (peek().kind != Token::Kind::kWord || lower(peek().text) != word) return false;
    ++pos_;
    return true;
  }

  const Node* combine(Node::Kind kind, const Node* left, const Node* right) {
    Node& node = ast_.add();
    node.kind = kind;
    node.left = left;
    node.right = right;
    return &node;
  }

  const Node* parse_or(int depth) {
    const Node* left = parse_and(depth);
    while (take_keyword("or")) left = combine(Node::Kind::kOr, left, parse_and(depth));
    return left;
  }

  const Node* parse_and(int depth) {
    const Node* left = parse_unary(depth);
    while (take_keyword("and")) left = combine(Node::Kind::kAnd, left, parse_unary(depth));
    return left;
  }

  const Node* parse_unary(int depth) {
    if (depth > kMaxNesting) {
      throw WhereError(peek().column, "nested too deeply (more than 64 levels)");
    }
    if (take_keyword("not")) return combine(Node::Kind::kNot, parse_unary(depth + 1), nullptr);
    if (peek().kind == Token::Kind::kOpen) {
      const std::size_t open = take().column;
      const Node* inner = parse_or(depth + 1);
      if (peek().kind != Token::Kind::kClose) {
        throw WhereError(peek().column, "expected ')' to close the '(' at column " +
                                            std::to_string(open + 1));
      }
      take();
      return inner;
    }
    return parse_comparison();
  }

  const Node* parse_comparison() {
    const Token& name = take();
    if (name.kind != Token::Kind::kWord) {
      throw WhereError(name.column, name.kind == Token::Kind::kEnd
                                        ? "expected a field name"
                                        : "expected a field name, found '" + name.text + "'");
    }
    if (++comparisons_ > kMaxComparisons) {
      throw WhereError(name.column, "more than 1000 comparisons");
    }
    Node& node = ast_.add();
    node.compare.field = field_of(name);
    const Token& op = take();
    if (op.kind != Token::Kind::kOperator) {
      throw WhereError(op.column, "expected an operator (= != < > <= >= ~) after '" +
                                      name.text + "'");
    }
    node.compare.op = to_op(op.text);
    check_operator(node.compare, name, op);
    const Token& value = take();
    if (value.kind != Token::Kind::kWord && value.kind != Token::Kind::kQuoted &&
        value.kind != Token::Kind::kRegex) {
      throw WhereError(value.column, "expected a value after '" + op.text + "'");
    }
    set_value(node.compare, name.text, value);
    return &node;
  }

  Field field_of(const Token& name) const {
    const std::string key = lower(name.text);
    for (const auto& entry : kFields) {
      if (key != entry.name) continue;
      if (entry.record_only && scope_ == WhereQuery::Scope::kFiles) {
        throw WhereError(name.column, "'" + key + "' filters records; here only product, "
                                      "originator, host, logset, time and start select files");
      }
      return entry.field;
    }
    throw WhereError(name.column, "unknown field '" + name.text +
                                      "' (fields: product originator host logset time start "
                                      "kind severity level who text pid tid context)");
  }

  static void check_operator(const Comparison& compare, const Token& name, const Token& op) {
    const bool text = is_text_field(compare.field);
    const bool equality = compare.op == Op::kEqual || compare.op == Op::kNotEqual;
    if (compare.op == Op::kMatch && !text) {
      throw WhereError(op.column, "'~' matches text; '" + name.text + "' is not text");
    }
    if ((text || compare.field == Field::kKind) && !equality && compare.op != Op::kMatch) {
      throw WhereError(op.column, "'" + name.text + "' is compared with =, !=" +
                                      (text ? " or ~" : ""));
    }
  }

  void set_value(Comparison& compare, const std::string& field_name, const Token& value) {
    if (value.kind == Token::Kind::kRegex) {
      compare.regex = std::make_unique<Regex>();
      const std::string error = compare.regex->compile(value.text);
      if (!error.empty()) throw WhereError(value.column, "bad regular expression: " + error);
      return;
    }
    if (is_text_field(compare.field)) {
      compare.text = value.text;
      return;
    }
    compare.number = number_value(compare.field, field_name, value);
  }

  std::int64_t number_value(Field field, const std::string& field_name, const Token& value) {
    if (is_time_field(field)) {
      const auto time = parse_time_text(value.text, now_);
      if (!time || *time < 0 || *time > UINT32_MAX) {
        throw WhereError(value.column, "not a time: '" + value.text +
                                           "' (write \"2026-03-14 10:00\", with a zone like "
                                           "+01:00 or Z if not local, or -1h, -2d)");
      }
      return *time;
    }
    if (auto number = parse_u32(value.text)) return *number;
    std::optional<std::uint32_t> named;
    if (field == Field::kKind) named = find_named(kKinds, value.text);
    if (field == Field::kSeverity) named = find_named(kSeverities, value.text);
    if (named) return *named;
    if (field == Field::kProduct || field == Field::kOriginator) return resolved(field, value);
    throw WhereError(value.column, "'" + field_name + "' takes " + expected(field) +
                                       ", not '" + value.text + "'");
  }

  std::int64_t resolved(Field field, const Token& value) {
    const std::int32_t code =
        field == Field::kProduct ? XOLTLOG_QUERY_PRODUCT : XOLTLOG_QUERY_ORIGINATOR;
    const std::uint32_t id = resolve_ ? resolve_(code, value.text) : 0;
    if (id == 0) {
      throw WhereError(value.column, std::string("no ") +
                                         (field == Field::kProduct ? "product" : "originator") +
                                         " is named '" + value.text + "'",
                       true);
    }
    return id;
  }

  static std::string expected(Field field) {
    switch (field) {
      case Field::kKind:
        return "app, diag, debug, audit or context";
      case Field::kSeverity:
        return "info, warning, error or a number 0 to 4";
      default:
        return "a number";
    }
  }

  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
  std::size_t comparisons_ = 0;
  WhereQuery::Scope scope_;
  const NameResolver& resolve_;
  std::int64_t now_;
  Ast& ast_;
};

}  // namespace

bool is_text_field(Field field) {
  return field == Field::kHost || field == Field::kLogset || field == Field::kWho ||
         field == Field::kText || field == Field::kContext;
}

bool is_time_field(Field field) { return field == Field::kTime || field == Field::kStart; }

}  // namespace xoltlog::tool::where

namespace xoltlog::tool {

std::string describe_where_error(std::string_view expression, const WhereError& error) {
  const std::size_t column = std::min(error.column(), expression.size());
  // Tabs stay tabs under the caret so that it lines up in a terminal.
  std::string pad;
  for (std::size_t i = 0; i < column; ++i) pad += expression[i] == '\t' ? '\t' : ' ';
  std::string line(expression);
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return "column " + std::to_string(column + 1) + ": " + error.what() + "\n    " + line +
         "\n    " + pad + "^";
}

}  // namespace xoltlog::tool

namespace xoltlog::tool::where {

void parse(std::string_view text, WhereQuery::Scope scope, const NameResolver& resolve,
           std::int64_t now, Ast& ast) {
  Parser(text, scope, resolve, now, ast).run();
}

}  // namespace xoltlog::tool::where
