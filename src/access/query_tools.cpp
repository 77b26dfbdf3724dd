#include "access/query_tools.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "access/query_eval.h"
#include "platform/heap.h"

namespace xoltlog {
namespace {

bool both_terminals(const XoltLogQueryNode& node) noexcept {
  return is_terminal_kind(node.left->kind) && is_terminal_kind(node.right->kind);
}

void shift_comparison(XoltLogQueryNode& node, std::uint32_t shift) noexcept {
  const std::uint32_t field = node.left->value.number;
  XoltLogQueryNode& constant = *node.right;
  // A text's pointer is never a time, whatever field it is compared with.
  if ((field == XOLTLOG_QUERY_TIME || field == XOLTLOG_QUERY_START_TIME) &&
      constant.kind != XOLTLOG_QUERY_STRING && constant.value.number != 0) {
    constant.value.bits = static_cast<std::uint32_t>(constant.value.number - shift);
  }
}

// A whole decimal number, as the platform's signed conversion reads one.
bool whole_number(const char* name, long& number) noexcept {
  char* end = nullptr;
  errno = 0;
  number = std::strtol(name, &end, 10);
  return end != name && *end == '\0' && errno == 0;
}

bool names_list(const char* names, std::size_t capacity, std::string_view name) {
  const std::string_view all(names, strnlen(names, capacity));
  std::size_t start = 0;
  while (start <= all.size()) {
    std::size_t comma = all.find(',', start);
    if (comma == std::string_view::npos) comma = all.size();
    std::string piece;
    for (const char c : all.substr(start, comma - start)) {
      if (c != ' ' && c != '\t') piece.push_back(c);
    }
    if (piece == name) {
      return true;
    }
    start = comma + 1;
  }
  return false;
}

bool record_answers(const XoltLogCfg& record, bool product, const char* name) {
  const char* names = product ? record.product_names : record.originator_names;
  const std::uint32_t id = product ? record.product_id : record.originator_id;
  if (names[0] == '\0') {
    return false;
  }
  long number = 0;
  if (whole_number(name, number)) {
    return static_cast<std::uint32_t>(number) == id;
  }
  return names_list(names, sizeof record.product_names, name);
}

}  // namespace

std::uint32_t hash_texts(std::string_view first, std::string_view second,
                         std::uint32_t buckets) noexcept {
  std::uint32_t hash = 0;
  for (const std::string_view part : {first, second}) {
    for (const char c : part) {
      hash = hash * 31 +
             static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int8_t>(c)));
    }
  }
  return hash % buckets;
}

std::uint32_t hash_text(const char* text, std::uint32_t buckets) noexcept {
  return hash_texts(text, {}, buckets);
}

bool shift_query_times(XoltLogQueryNode& query, std::int32_t local_offset,
                       std::int32_t log_offset) noexcept {
  const auto shift =
      static_cast<std::uint32_t>(local_offset) - static_cast<std::uint32_t>(log_offset);
  std::array<XoltLogQueryNode*, XOLTLOG_QUERY_SLOTS> stack{};
  std::size_t depth = 0;
  XoltLogQueryNode* node = &query;
  // A supported tree has fewer than twice as many nodes as slots; more
  // steps than that mean a cycle.
  for (std::size_t steps = 0; steps < 2 * XOLTLOG_QUERY_SLOTS; ++steps) {
    if (node->left == nullptr || node->right == nullptr) {
      return false;
    }
    if (both_terminals(*node)) {
      shift_comparison(*node, shift);
      if (depth == 0) {
        return true;
      }
      node = stack[--depth];
    } else {
      if (depth == stack.size()) {
        return false;
      }
      stack[depth++] = node->left;
      node = node->right;
    }
  }
  return false;
}

std::uint32_t id_from_name(std::span<XoltLogCfg* const> records, bool product,
                           const char* name) noexcept {
  try {
    for (const XoltLogCfg* record : records) {
      if (record != nullptr && record_answers(*record, product, name)) {
        return product ? record->product_id : record->originator_id;
      }
    }
  } catch (...) {
    // Only a piece's copy can throw, for want of memory: no id known.
  }
  return 0;
}

XoltLogContextEntry* find_context_entry(const XoltLogMsg& record, const char* text,
                                        const char* title,
                                        XoltLogContextEntry* const* table) noexcept {
  XoltLogContextEntry* entry = table[hash_text(title, XOLTLOG_CONTEXT_BUCKETS)];
  for (; entry != nullptr; entry = entry->next) {
    if (entry->product_id == record.product_id && entry->originator_id == record.originator_id &&
        entry->title != nullptr && std::strcmp(entry->title, title) == 0) {
      break;
    }
  }
  if (entry != nullptr && record.type == XOLTLOG_MSG_CONTEXT) {
    if (char* copy = duplicate_string(text); copy != nullptr || text == nullptr) {
      release(entry->context_text);
      entry->context_text = copy;
    }
  }
  return entry;
}

}  // namespace xoltlog
