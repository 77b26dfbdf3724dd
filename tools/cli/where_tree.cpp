// The library's tree for an expression: a condition every file that can
// satisfy the expression meets, built from the comparisons the library
// decides the same way the tool does. Anything else (originator and
// record-level fields, "~", time equality) counts as true and is left to
// the tool's own evaluation; "not" is pushed down to the comparisons, whose
// operators negate exactly where the library compares exactly.
#include <algorithm>

#include "cli/where_ast.h"

namespace xoltlog::tool::where {
namespace {

// A record can be stamped shortly before the file it lands in is created
// (the rollover happens between the two), so "time < T" keeps files that
// start a little after T.
constexpr std::int64_t kStampBeforeFileSlack = 300;
constexpr std::size_t kMaxOperators = XOLTLOG_QUERY_SLOTS - 1;

Op negate(Op op) {
  switch (op) {
    case Op::kEqual: return Op::kNotEqual;
    case Op::kNotEqual: return Op::kEqual;
    case Op::kLess: return Op::kAtLeast;
    case Op::kGreater: return Op::kAtMost;
    case Op::kAtMost: return Op::kGreater;
    case Op::kAtLeast: return Op::kLess;
    case Op::kMatch: return Op::kMatch;
  }
  return Op::kMatch;
}

std::int32_t op_code(Op op) {
  switch (op) {
    case Op::kEqual: return XOLTLOG_QUERY_EQUAL;
    case Op::kNotEqual: return XOLTLOG_QUERY_NOT_EQUAL;
    case Op::kLess: return XOLTLOG_QUERY_LESS;
    case Op::kGreater: return XOLTLOG_QUERY_GREATER;
    case Op::kAtMost: return XOLTLOG_QUERY_AT_MOST;
    case Op::kAtLeast: return XOLTLOG_QUERY_AT_LEAST;
    case Op::kMatch: return 0;
  }
  return 0;
}

class Builder {
 public:
  explicit Builder(LibraryTree& tree) : tree_(tree) {}

  XoltLogQueryNode* necessary(const Node& node, bool negated) {
    switch (node.kind) {
      case Node::Kind::kNot: return necessary(*node.left, !negated);
      case Node::Kind::kCompare: return comparison(node.compare, negated);
      case Node::Kind::kAnd:
      case Node::Kind::kOr: break;
    }
    XoltLogQueryNode* left = necessary(*node.left, negated);
    XoltLogQueryNode* right = necessary(*node.right, negated);
    // De Morgan: under a negation "and" becomes "or" and the reverse.
    const bool conjunction = (node.kind == Node::Kind::kAnd) != negated;
    if (conjunction) {
      if (left == nullptr || right == nullptr) return left != nullptr ? left : right;
      return operator_node(XOLTLOG_QUERY_AND, left, right);
    }
    if (left == nullptr || right == nullptr) return nullptr;
    return operator_node(XOLTLOG_QUERY_OR, left, right);
  }

  std::size_t operators() const { return operators_; }

 private:
  XoltLogQueryNode* comparison(const Comparison& c, bool negated) {
    const Op op = negated ? negate(c.op) : c.op;
    const bool equality = op == Op::kEqual || op == Op::kNotEqual;
    switch (c.field) {
      case Field::kProduct: return numeric(XOLTLOG_QUERY_PRODUCT, op, c.number);
      case Field::kStart: return numeric(XOLTLOG_QUERY_START_TIME, op, c.number);
      case Field::kTime:
        if (negated || equality) return nullptr;
        return numeric(XOLTLOG_QUERY_TIME, op,
                       op == Op::kLess || op == Op::kAtMost
                           ? std::min<std::int64_t>(c.number + kStampBeforeFileSlack, UINT32_MAX)
                           : c.number);
      case Field::kHost:
        if (!equality || c.regex) return nullptr;
        return text(XOLTLOG_QUERY_HOST, op, c.text);
      case Field::kLogset:
        // Ordinary files fail every logset comparison in the library, so
        // only a match with a named logset is decided alike.
        if (op != Op::kEqual || c.text.empty()) return nullptr;
        return text(XOLTLOG_QUERY_LOGSET, op, c.text);
      default: return nullptr;
    }
  }

  XoltLogQueryNode* terminal(std::int32_t kind) {
    XoltLogQueryNode& node = tree_.nodes.emplace_back();
    node.kind = kind;
    return &node;
  }

  XoltLogQueryNode* numeric(std::int32_t field, Op op, std::int64_t constant) {
    XoltLogQueryNode* value = terminal(XOLTLOG_QUERY_NUMBER);
    value->value.number = static_cast<std::uint32_t>(constant);
    return compared(field, op, value);
  }

  XoltLogQueryNode* text(std::int32_t field, Op op, const std::string& constant) {
    XoltLogQueryNode* value = terminal(XOLTLOG_QUERY_STRING);
    value->value.text = tree_.texts.emplace_back(constant).c_str();
    return compared(field, op, value);
  }

  XoltLogQueryNode* compared(std::int32_t field, Op op, XoltLogQueryNode* value) {
    XoltLogQueryNode* name = terminal(XOLTLOG_QUERY_FIELD);
    name->value.number = static_cast<std::uint32_t>(field);
    return operator_node(op_code(op), name, value);
  }

  XoltLogQueryNode* operator_node(std::int32_t code, XoltLogQueryNode* left,
                                  XoltLogQueryNode* right) {
    XoltLogQueryNode* node = terminal(code);
    node->left = left;
    node->right = right;
    ++operators_;
    return node;
  }

  LibraryTree& tree_;
  std::size_t operators_ = 0;
};

bool compares_host(const XoltLogQueryNode* node) {
  if (node == nullptr) return false;
  if (node->kind == XOLTLOG_QUERY_FIELD) return node->value.number == XOLTLOG_QUERY_HOST;
  return compares_host(node->left) || compares_host(node->right);
}

}  // namespace

void build_library_tree(const Ast& ast, LibraryTree& tree) {
  if (ast.root == nullptr) return;
  Builder builder(tree);
  XoltLogQueryNode* root = builder.necessary(*ast.root, false);
  // A larger tree is beyond what the library evaluates; collecting without
  // it loses nothing, the tool's evaluation still decides.
  if (builder.operators() > kMaxOperators) return;
  tree.root = root;
  tree.uses_host = compares_host(root);
}

}  // namespace xoltlog::tool::where
