#include "frame/result_map.h"

#include "xoltlog/result.h"
#include "xoltlog/rir.h"

namespace xoltlog {
namespace {

struct ResultEntry {
  std::uint32_t code;
  const char* name;
  const char* meaning;
};

#define XOLTLOG_RESULT_ENTRY_(name, code, meaning) \
  ResultEntry{static_cast<std::uint32_t>(code), #name, meaning},
constexpr ResultEntry kResults[] = {
    XOLTLOG_RESULT_TABLE(XOLTLOG_RESULT_ENTRY_, XOLTLOG_RESULT_ENTRY_)};
#undef XOLTLOG_RESULT_ENTRY_

const ResultEntry* find_result(std::uint32_t code) noexcept {
  for (const ResultEntry& entry : kResults) {
    if (entry.code == code) {
      return &entry;
    }
  }
  return nullptr;
}

}  // namespace

std::uint32_t map_rir_status(std::int32_t status) noexcept {
  switch (status) {
    case XOLT_RIR_OK: return XOLTLOG_OK;
    case XOLT_RIR_EINVAL: return XOLTLOG_E_INVALID_ARG;
    case XOLT_RIR_ENOMEM: return XOLTLOG_E_NO_MEMORY;
    case XOLT_RIR_EFAIL: return XOLTLOG_E_RIR;
    default: return XOLTLOG_E_RIR_OTHER;
  }
}

std::uint32_t map_store_result(std::uint32_t store_result) noexcept {
  switch (store_result) {
    case 0: return XOLTLOG_OK;
    case 1: return XOLTLOG_E_INVALID_ARG;
    case 2:
    case 3:
    case 4: return XOLTLOG_E_CFG_STORE;
    case 5: return XOLTLOG_E_CFG_CREATE;
    case 7: return XOLTLOG_E_NO_MORE;
    case 8: return XOLTLOG_E_NO_SECTION;
    case 9: return XOLTLOG_E_NOTHING_TO_WRITE;
    case 10: return XOLTLOG_E_CFG_REPLACE;
    default: return XOLTLOG_E_FAILED;
  }
}

const char* result_name(std::uint32_t code) noexcept {
  const ResultEntry* entry = find_result(code);
  return entry != nullptr ? entry->name : nullptr;
}

const char* result_meaning(std::uint32_t code) noexcept {
  const ResultEntry* entry = find_result(code);
  return entry != nullptr ? entry->meaning : nullptr;
}

}  // namespace xoltlog
