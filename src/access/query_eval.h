// Evaluating a query tree against one log file, without recursion and
// without allocating: once from what its name and times tell (while files
// are collected), once from its header (while they are fetched).
#pragma once

#include <cstdint>

#include "xoltlog/access.h"
#include "xoltlog/query.h"

namespace xoltlog {

// What a file's name and directory entry tell, with its header's host name
// when the query asks for it.
struct FileFacts {
  std::uint32_t product_id = 0;
  std::uint32_t originator_id = 0;  // 0 for a logset file
  const char* host = "";
  const char* logset = nullptr;  // the collecting record's logset name; none for ordinary
  std::int64_t start_time = 0;
  std::int64_t last_write = 0;
};

struct HeaderFacts {
  const XoltLogHeader* header = nullptr;
  const char* logset = "";  // the set file name of a logset file, else empty
  std::int64_t modified = 0;
};

constexpr bool is_terminal_kind(std::int32_t kind) noexcept {
  return kind >= XOLTLOG_QUERY_STRING && kind <= XOLTLOG_QUERY_NUMBER_3;
}

// See eval.
bool apply_operator(std::int32_t op, std::uint32_t a, std::uint32_t b) noexcept;

// True for a null query; false for a tree beyond what is supported.
bool query_passes_file(XoltLogQueryNode* query, const FileFacts& facts) noexcept;
bool query_passes_header(XoltLogQueryNode* query, const HeaderFacts& facts) noexcept;

// Whether a field terminal with code appears in the tree (left branches
// first); a tree beyond the supported size is searched as far as it goes.
bool query_mentions_field(const XoltLogQueryNode* query, std::uint32_t code) noexcept;

}  // namespace xoltlog
