#include "access/query_eval.h"

#include <array>
#include <cstring>
#include <string_view>

namespace xoltlog {
namespace {

constexpr std::size_t kFileTextLimit = 535;
constexpr std::size_t kHeaderTextLimit = 1031;
// Deep enough for any supported tree: a path passes through at most every
// operator node once.
constexpr std::size_t kStackDepth = XOLTLOG_QUERY_SLOTS;

bool is_terminal(const XoltLogQueryNode& node) noexcept { return is_terminal_kind(node.kind); }

// What a field stands for in one evaluation: a number (two for the time
// field, either of which may satisfy the comparison), a text, or a truth
// decided without comparing.
struct FieldOperand {
  enum class Kind { kNumber, kEitherNumber, kText, kTrue, kFalse } kind = Kind::kFalse;
  std::uint32_t first = 0;
  std::uint32_t second = 0;
  const char* text = "";
};

FieldOperand number(std::uint64_t value) noexcept {
  return {FieldOperand::Kind::kNumber, static_cast<std::uint32_t>(value)};
}
FieldOperand either(std::uint64_t first, std::uint64_t second) noexcept {
  return {FieldOperand::Kind::kEitherNumber, static_cast<std::uint32_t>(first),
          static_cast<std::uint32_t>(second)};
}
FieldOperand text(const char* value) noexcept {
  return {FieldOperand::Kind::kText, 0, 0, value != nullptr ? value : ""};
}
FieldOperand truth(bool value) noexcept {
  return {value ? FieldOperand::Kind::kTrue : FieldOperand::Kind::kFalse};
}

FieldOperand file_field(std::uint32_t code, const FileFacts& facts) noexcept {
  switch (code) {
    case 263:
      return number(facts.product_id);
    case 265:
      return number(facts.originator_id);
    case 268:
      return either(static_cast<std::uint64_t>(facts.start_time),
                    static_cast<std::uint64_t>(facts.last_write));
    case 269:
      return number(static_cast<std::uint64_t>(facts.start_time));
    case 278:
      return text(facts.host);
    case 279:
      return facts.logset != nullptr ? text(facts.logset) : truth(false);
    case 264:
    case 266:
    case 267:
    case 270:
    case 271:
    case 272:
    case 273:
    case 274:
    case 275:
    case 277:
      return truth(true);
    default:
      return truth(false);
  }
}

FieldOperand header_field(std::uint32_t code, const HeaderFacts& facts) noexcept {
  const XoltLogHeader& header = *facts.header;
  switch (code) {
    case 263:
      return number(header.product_id);
    case 264:
      return number(header.originator_id);
    case 268:
      return either(static_cast<std::uint64_t>(header.creation_time),
                    static_cast<std::uint64_t>(facts.modified));
    case 269:
      return number(static_cast<std::uint64_t>(header.creation_time));
    case 279:
      return text(facts.logset);
    default:
      return truth(false);
  }
}

// The state of one evaluation: results by slot, and the nodes still open.
class Evaluation {
 public:
  explicit Evaluation(std::size_t text_limit) noexcept : text_limit_(text_limit) {}

  template <typename Resolve>
  bool run(XoltLogQueryNode& root, Resolve resolve) noexcept;

 private:
  std::uint32_t entry(const XoltLogQueryNode& node) const noexcept {
    const auto slot = static_cast<std::uint32_t>(node.slot);
    return slot < results_.size() ? results_[slot] : 0;
  }
  bool pending(const XoltLogQueryNode* child) const noexcept {
    return !is_terminal(*child) && entry(*child) == 0;
  }
  template <typename Resolve>
  bool evaluate(const XoltLogQueryNode& node, Resolve resolve) const noexcept;
  bool compare(std::int32_t op, const FieldOperand& field, std::uint32_t other,
               std::string_view constant) const noexcept;

  std::size_t text_limit_;
  std::array<std::uint32_t, XOLTLOG_QUERY_SLOTS> results_{};
  std::array<XoltLogQueryNode*, kStackDepth> stack_{};
};

template <typename Resolve>
bool Evaluation::run(XoltLogQueryNode& root, Resolve resolve) noexcept {
  if (is_terminal(root)) {
    return false;
  }
  std::size_t depth = 0;
  std::uint32_t next_slot = 1;
  stack_[depth++] = &root;
  while (depth > 0) {
    XoltLogQueryNode& node = *stack_[depth - 1];
    if (node.left == nullptr || node.right == nullptr) {
      return false;
    }
    XoltLogQueryNode* child = pending(node.left)    ? node.left
                              : pending(node.right) ? node.right
                                                    : nullptr;
    if (child != nullptr) {
      if (depth == stack_.size()) {
        return false;  // deeper than any supported tree, or a cycle
      }
      stack_[depth++] = child;
      continue;
    }
    if (next_slot == results_.size()) {
      return false;
    }
    node.slot = static_cast<std::int32_t>(next_slot);
    results_[next_slot++] = evaluate(node, resolve) ? 2 : 1;
    --depth;
  }
  return entry(root) == 2;
}

template <typename Resolve>
bool Evaluation::evaluate(const XoltLogQueryNode& node, Resolve resolve) const noexcept {
  const bool field_right = node.right->kind == XOLTLOG_QUERY_FIELD;
  const XoltLogQueryNode& field_side = field_right ? *node.right : *node.left;
  const XoltLogQueryNode& other_side = field_right ? *node.left : *node.right;
  std::string_view constant;
  if (node.right->kind == XOLTLOG_QUERY_STRING && node.right->value.text != nullptr) {
    constant =
        std::string_view(node.right->value.text, strnlen(node.right->value.text, text_limit_));
  }
  if (field_side.kind != XOLTLOG_QUERY_FIELD) {
    return apply_operator(node.kind, entry(field_side) - 1, entry(other_side) - 1);
  }
  const std::uint32_t other_entry = entry(other_side);
  const std::uint32_t other = other_entry != 0 ? other_entry - 1 : other_side.value.number;
  return compare(node.kind, resolve(field_side.value.number), other, constant);
}

bool Evaluation::compare(std::int32_t op, const FieldOperand& field, std::uint32_t other,
                         std::string_view constant) const noexcept {
  switch (field.kind) {
    case FieldOperand::Kind::kNumber:
      return apply_operator(op, field.first, other);
    case FieldOperand::Kind::kEitherNumber:
      return apply_operator(op, field.first, other) || apply_operator(op, field.second, other);
    case FieldOperand::Kind::kText: {
      const std::string_view value(field.text, strnlen(field.text, text_limit_));
      return op == XOLTLOG_QUERY_EQUAL       ? value == constant
             : op == XOLTLOG_QUERY_NOT_EQUAL ? value != constant
                                             : false;
    }
    case FieldOperand::Kind::kTrue:
      return true;
    case FieldOperand::Kind::kFalse:
      return false;
  }
  return false;
}

}  // namespace

bool apply_operator(std::int32_t op, std::uint32_t a, std::uint32_t b) noexcept {
  switch (op) {
    case XOLTLOG_QUERY_AND:
      return a != 0 && b != 0;
    case XOLTLOG_QUERY_OR:
      return a != 0 || b != 0;
    case XOLTLOG_QUERY_LESS:
      return a < b;
    case XOLTLOG_QUERY_GREATER:
      return a > b;
    case XOLTLOG_QUERY_AT_MOST:
      return a <= b;
    case XOLTLOG_QUERY_AT_LEAST:
      return a >= b;
    case XOLTLOG_QUERY_EQUAL:
      return a == b;
    case XOLTLOG_QUERY_NOT_EQUAL:
      return a != b;
    default:
      return false;
  }
}

bool query_passes_file(XoltLogQueryNode* query, const FileFacts& facts) noexcept {
  if (query == nullptr) {
    return true;
  }
  Evaluation evaluation(kFileTextLimit);
  return evaluation.run(*query, [&](std::uint32_t code) { return file_field(code, facts); });
}

bool query_passes_header(XoltLogQueryNode* query, const HeaderFacts& facts) noexcept {
  if (query == nullptr) {
    return true;
  }
  if (facts.header == nullptr) {
    return false;
  }
  Evaluation evaluation(kHeaderTextLimit);
  return evaluation.run(*query, [&](std::uint32_t code) { return header_field(code, facts); });
}

bool query_mentions_field(const XoltLogQueryNode* query, std::uint32_t code) noexcept {
  std::array<const XoltLogQueryNode*, kStackDepth> stack{};
  std::size_t depth = 0;
  std::size_t visited = 0;
  const XoltLogQueryNode* node = query;
  // A supported tree has fewer than twice as many nodes as slots.
  while (node != nullptr && visited++ < 2 * XOLTLOG_QUERY_SLOTS) {
    if (node->value.number == code) {
      return true;
    }
    if (node->right != nullptr && depth < stack.size()) {
      stack[depth++] = node->right;
    }
    node = node->left != nullptr ? node->left : (depth > 0 ? stack[--depth] : nullptr);
  }
  return false;
}

}  // namespace xoltlog
