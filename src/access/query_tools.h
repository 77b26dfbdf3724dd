// The helpers tools use around queries: moving a query's times to a log
// file's zone, names to ids, and their table of known contexts.
#pragma once

#include <cstdint>
#include <span>

#include "xoltlog/config.h"
#include "xoltlog/message.h"
#include "xoltlog/query.h"

namespace xoltlog {

// See HashString; buckets is not 0.
std::uint32_t hash_text(const char* text, std::uint32_t buckets) noexcept;

// See updateQueryForTZ: local_offset and log_offset are UTC minus local
// time. False when the walk could not finish.
bool shift_query_times(XoltLogQueryNode& query, std::int32_t local_offset,
                       std::int32_t log_offset) noexcept;

// See GetIdFromName; null records are passed over.
std::uint32_t id_from_name(std::span<XoltLogCfg* const> records, bool product,
                           const char* name) noexcept;

// See SearchContextTitleInList.
XoltLogContextEntry* find_context_entry(const XoltLogMsg& record, const char* text,
                                        const char* title,
                                        XoltLogContextEntry* const* table) noexcept;

}  // namespace xoltlog
