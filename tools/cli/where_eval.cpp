// Evaluating an expression against a file or a record, and the query object
// that holds both the expression and its library tree.
#include <vector>

#include "cli/where_ast.h"

namespace xoltlog::tool::where {
namespace {

template <typename T>
bool compare_numbers(Op op, T a, T b) {
  switch (op) {
    case Op::kEqual: return a == b;
    case Op::kNotEqual: return a != b;
    case Op::kLess: return a < b;
    case Op::kGreater: return a > b;
    case Op::kAtMost: return a <= b;
    case Op::kAtLeast: return a >= b;
    case Op::kMatch: return false;
  }
  return false;
}

bool compare_text(const Comparison& compare, std::string_view value) {
  switch (compare.op) {
    case Op::kEqual: return value == compare.text;
    case Op::kNotEqual: return value != compare.text;
    case Op::kMatch:
      return compare.regex ? compare.regex->search(value)
                           : value.find(compare.text) != std::string_view::npos;
    default: return false;
  }
}

// Whether some moment of [low, high] satisfies the comparison.
bool compare_span(Op op, std::int64_t low, std::int64_t high, std::int64_t t) {
  switch (op) {
    case Op::kEqual: return low <= t && t <= high;
    case Op::kNotEqual: return low != t || high != t;
    case Op::kLess: return low < t;
    case Op::kAtMost: return low <= t;
    case Op::kGreater: return high > t;
    case Op::kAtLeast: return high >= t;
    case Op::kMatch: return false;
  }
  return false;
}

bool compare_optional(Op op, const std::optional<std::uint32_t>& value, std::int64_t constant) {
  return value && compare_numbers<std::int64_t>(op, *value, constant);
}

bool compare_record(const Comparison& c, const RecordFields& record) {
  switch (c.field) {
    case Field::kKind:
      return compare_numbers<std::int64_t>(c.op, static_cast<std::uint32_t>(record.kind), c.number);
    case Field::kSeverity: return compare_optional(c.op, record.severity, c.number);
    case Field::kLevel: return compare_optional(c.op, record.level, c.number);
    case Field::kWho: return compare_text(c, record.who);
    case Field::kText: return compare_text(c, record.text);
    case Field::kContext: return compare_text(c, record.context);
    case Field::kPid: return compare_numbers<std::int64_t>(c.op, record.pid, c.number);
    case Field::kTid: return compare_numbers<std::int64_t>(c.op, record.tid, c.number);
    default: return false;
  }
}

bool compare(const Comparison& c, const Facts& facts) {
  switch (c.field) {
    case Field::kProduct: return compare_numbers<std::int64_t>(c.op, facts.product, c.number);
    case Field::kOriginator:
      return compare_numbers<std::int64_t>(c.op, facts.originator, c.number);
    case Field::kHost: return compare_text(c, facts.host);
    case Field::kLogset: return compare_text(c, facts.logset);
    case Field::kTime: return compare_span(c.op, facts.time_low, facts.time_high, c.number);
    case Field::kStart: return compare_numbers(c.op, facts.start, c.number);
    default: return facts.record != nullptr && compare_record(c, *facts.record);
  }
}

}  // namespace

Regex::~Regex() {
  if (ready_) regfree(&compiled_);
}

std::string Regex::compile(const std::string& pattern) {
  const int error = regcomp(&compiled_, pattern.c_str(), REG_EXTENDED | REG_NOSUB);
  if (error == 0) {
    ready_ = true;
    return {};
  }
  char message[256] = {};
  regerror(error, &compiled_, message, sizeof message);
  regfree(&compiled_);
  return message;
}

bool Regex::search(std::string_view text) const {
  if (!ready_) return false;
  // regexec wants a terminated subject; record texts are views.
  const std::string subject(text);
  return regexec(&compiled_, subject.c_str(), 0, nullptr, 0) == 0;
}

bool known_for_records(Field field) {
  return field == Field::kProduct || field == Field::kHost || field == Field::kLogset ||
         field == Field::kStart;
}

Truth truth(bool value) { return value ? Truth::kTrue : Truth::kFalse; }

Truth negated(Truth value) {
  return value == Truth::kUnknown ? value : truth(value == Truth::kFalse);
}

// Iterative, so a long chain of "and"s costs no stack: a node is decided
// once its operands are, and "and"/"or" skip an operand they do not need.
Truth evaluate(const Node& root, const Facts& facts) {
  struct Frame {
    const Node* node;
    int stage;
    Truth left;
  };
  std::vector<Frame> stack{{&root, 0, Truth::kUnknown}};
  Truth value = Truth::kFalse;
  while (!stack.empty()) {
    Frame& frame = stack.back();
    const Node& node = *frame.node;
    if (node.kind == Node::Kind::kCompare) {
      value = facts.for_records && !known_for_records(node.compare.field)
                  ? Truth::kUnknown
                  : truth(compare(node.compare, facts));
    } else if (frame.stage == 0) {
      frame.stage = 1;
      stack.push_back({node.left, 0, Truth::kUnknown});
      continue;
    } else if (node.kind == Node::Kind::kNot) {
      value = negated(value);
    } else if (frame.stage == 1) {
      const Truth decisive = node.kind == Node::Kind::kAnd ? Truth::kFalse : Truth::kTrue;
      if (value != decisive) {
        frame.stage = 2;
        frame.left = value;
        stack.push_back({node.right, 0, Truth::kUnknown});
        continue;
      }
    } else if (value != (node.kind == Node::Kind::kAnd ? Truth::kFalse : Truth::kTrue) &&
               frame.left == Truth::kUnknown) {
      value = Truth::kUnknown;
    }
    stack.pop_back();
  }
  return value;
}

}  // namespace xoltlog::tool::where

namespace xoltlog::tool {

struct WhereQuery::Impl {
  where::Ast ast;
  where::LibraryTree tree;
};

WhereQuery::WhereQuery() : impl_(std::make_unique<Impl>()) {}
WhereQuery::~WhereQuery() = default;
WhereQuery::WhereQuery(WhereQuery&&) noexcept = default;
WhereQuery& WhereQuery::operator=(WhereQuery&&) noexcept = default;

WhereQuery WhereQuery::parse(std::string_view text, Scope scope, const NameResolver& resolve,
                             std::int64_t now) {
  WhereQuery query;
  where::parse(text, scope, resolve, now, query.impl_->ast);
  where::build_library_tree(query.impl_->ast, query.impl_->tree);
  return query;
}

XoltLogQueryNode* WhereQuery::file_tree() const noexcept { return impl_->tree.root; }

bool WhereQuery::uses_host() const noexcept { return impl_->tree.uses_host; }

bool WhereQuery::matches(const FileFields& file) const {
  if (impl_->ast.root == nullptr) return true;
  const where::Facts facts{file.product, file.originator, file.host,  file.logset,
                           file.start,   file.last_write, file.start, nullptr};
  return where::evaluate(*impl_->ast.root, facts) == where::Truth::kTrue;
}

bool WhereQuery::may_match_records_of(const FileFields& file) const {
  if (impl_->ast.root == nullptr) return true;
  const where::Facts facts{file.product, file.originator, file.host,  file.logset,
                           file.start,   file.last_write, file.start, nullptr, true};
  return where::evaluate(*impl_->ast.root, facts) != where::Truth::kFalse;
}

bool WhereQuery::matches(const RecordFields& record) const {
  if (impl_->ast.root == nullptr) return true;
  const where::Facts facts{record.product, record.originator, record.host,  record.logset,
                           record.time,    record.time,       record.start, &record};
  return where::evaluate(*impl_->ast.root, facts) == where::Truth::kTrue;
}

}  // namespace xoltlog::tool
