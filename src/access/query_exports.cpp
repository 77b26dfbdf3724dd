// The exported query helpers.
#include <cstddef>
#include <cstring>
#include <span>

#include "access/query_eval.h"
#include "access/query_tools.h"
#include "platform/time_text.h"
#include "xoltlog/query.h"

static_assert(sizeof(XoltLogQueryNode) == 40);
static_assert(offsetof(XoltLogQueryNode, value) == 8);
static_assert(offsetof(XoltLogQueryNode, left) == 24);
static_assert(sizeof(XoltLogContextEntry) == 32);
static_assert(offsetof(XoltLogContextEntry, title) == 16);

extern "C" {

XOLTLOG_API int32_t isterm(int32_t kind) noexcept {
  return xoltlog::is_terminal_kind(kind) ? 1 : 0;
}

XOLTLOG_API int32_t eval(int32_t op, uint32_t a, uint32_t b) noexcept {
  return xoltlog::apply_operator(op, a, b) ? 1 : 0;
}

XOLTLOG_API int32_t evalString(int32_t op, const char* s, const char* t) noexcept {
  const int equal = std::strcmp(s != nullptr ? s : "", t != nullptr ? t : "") == 0;
  if (op == XOLTLOG_QUERY_EQUAL) return equal;
  if (op == XOLTLOG_QUERY_NOT_EQUAL) return 1 - equal;
  return 0;
}

XOLTLOG_API uint32_t HashString(const char* text, uint32_t buckets) noexcept {
  return text == nullptr || buckets == 0 ? 0 : xoltlog::hash_text(text, buckets);
}

XOLTLOG_API uint32_t updateQueryForTZ(XoltLogQueryNode* query, int32_t log_tz_offset) noexcept {
  if (query == nullptr) {
    return 1;
  }
  return xoltlog::shift_query_times(*query, xoltlog::platform::local_offset_from_utc(),
                                    log_tz_offset)
             ? 0
             : 1;
}

XOLTLOG_API uint32_t GetIdFromName(XoltLogCfg* const* records, uint32_t count, int32_t field_code,
                                   const char* name) noexcept {
  if (records == nullptr || name == nullptr) {
    return 0;
  }
  return xoltlog::id_from_name(std::span(records, count), field_code == XOLTLOG_QUERY_PRODUCT,
                               name);
}

XOLTLOG_API XoltLogContextEntry* SearchContextTitleInList(const XoltLogMsg* record,
                                                          const char* text, const char* title,
                                                          XoltLogContextEntry** table) noexcept {
  if (record == nullptr || title == nullptr || table == nullptr) {
    return nullptr;
  }
  return xoltlog::find_context_entry(*record, text, title, table);
}

}  // extern "C"
