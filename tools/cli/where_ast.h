// The parsed form of a --where expression, shared by the parser, the
// evaluator and the builder of the library's tree. Internal to the tool.
#pragma once

#include <regex.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "cli/where.h"

namespace xoltlog::tool::where {

enum class Field {
  kProduct, kOriginator, kHost, kLogset, kTime, kStart,
  kKind, kSeverity, kLevel, kWho, kText, kPid, kTid, kContext
};

enum class Op { kEqual, kNotEqual, kLess, kGreater, kAtMost, kAtLeast, kMatch };

// A compiled POSIX extended regular expression (glibc's matcher does not
// recurse on the subject, so long record texts cannot exhaust the stack).
class Regex {
 public:
  Regex() = default;
  ~Regex();
  Regex(const Regex&) = delete;
  Regex& operator=(const Regex&) = delete;
  // Empty on success, else the matcher's message.
  std::string compile(const std::string& pattern);
  bool search(std::string_view text) const;

 private:
  regex_t compiled_{};
  bool ready_ = false;
};

struct Comparison {
  Field field = Field::kProduct;
  Op op = Op::kEqual;
  std::int64_t number = 0;       // numeric fields and times
  std::string text;              // text fields; the substring for "~"
  std::unique_ptr<Regex> regex;  // "~ /.../"
};

struct Node {
  enum class Kind { kAnd, kOr, kNot, kCompare } kind = Kind::kCompare;
  const Node* left = nullptr;  // kNot: its operand
  const Node* right = nullptr;
  Comparison compare;
};

// The nodes of one expression, addresses stable for its life.
struct Ast {
  std::deque<Node> nodes;
  const Node* root = nullptr;  // null: an empty expression

  Node& add() { return nodes.emplace_back(); }
};

bool is_text_field(Field field);
bool is_time_field(Field field);

// Parses text into ast; throws WhereError.
void parse(std::string_view text, WhereQuery::Scope scope, const NameResolver& resolve,
           std::int64_t now, Ast& ast);

// The fields of one subject, as the evaluator sees them: a time span (a
// file's [start, last write], a record's [t, t]) in which some moment must
// satisfy a time comparison.
struct Facts {
  std::uint32_t product = 0;
  std::uint32_t originator = 0;
  std::string_view host;
  std::string_view logset;
  std::int64_t time_low = 0;
  std::int64_t time_high = 0;
  std::int64_t start = 0;
  const RecordFields* record = nullptr;  // null for a file
  // A file judged for the records in it: what only a record knows (its
  // own fields, its time, its originator) is unknown.
  bool for_records = false;
};

enum class Truth { kFalse, kTrue, kUnknown };

// Three-valued (Kleene) logic: unknown only where facts leave a field open.
Truth evaluate(const Node& root, const Facts& facts);

// The library's tree for the necessary condition of the expression.
struct LibraryTree {
  std::deque<XoltLogQueryNode> nodes;
  std::deque<std::string> texts;
  XoltLogQueryNode* root = nullptr;
  bool uses_host = false;
};

void build_library_tree(const Ast& ast, LibraryTree& tree);

}  // namespace xoltlog::tool::where
