#include "config/key_writer.h"

#include "config/store_backend.h"
#include "config/store_typed.h"
#include "frame/result_map.h"

namespace xoltlog {

KeyAction action_for(const XoltLogCfg& cfg, std::uint32_t bit) noexcept {
  if ((cfg.removal_mask & bit) != 0) {
    return KeyAction::kRemove;
  }
  return (cfg.change_mask & bit) != 0 ? KeyAction::kWrite : KeyAction::kLeave;
}

namespace {

std::uint32_t write_value(XoltLogPropertyStore& section, const char* name, const KeyValue& value) {
  switch (value.type) {
    case KeyValue::Type::kBool:
      return store_set_bool(&section, name, &value.number);
    case KeyValue::Type::kNumber:
      return store_set_number(&section, name, &value.number);
    case KeyValue::Type::kText:
      break;
  }
  // An unset text reaches the store as the missing value it is.
  return store_set_text(&section, name, value.text ? value.text->c_str() : nullptr);
}

}  // namespace

std::uint32_t apply_key(const LibraryLockGuard& /*held*/, XoltLogPropertyStore& section,
                        const XoltLogCfg& cfg, const SectionKey& key) {
  switch (action_for(cfg, key.bit)) {
    case KeyAction::kLeave:
      return XOLTLOG_OK;
    case KeyAction::kRemove:
      return map_store_result(store_remove_property(&section, key.name));
    case KeyAction::kWrite:
      break;
  }
  return map_store_result(write_value(section, key.name, key.value_of(cfg)));
}

std::uint32_t apply_keys(const LibraryLockGuard& held, XoltLogPropertyStore& section,
                         const XoltLogCfg& cfg, std::span<const SectionKey> keys) {
  for (const SectionKey& key : keys) {
    if (const std::uint32_t result = apply_key(held, section, cfg, key); result != XOLTLOG_OK) {
      return result;
    }
  }
  return XOLTLOG_OK;
}

void apply_keys_silently(const LibraryLockGuard& held, XoltLogPropertyStore& section,
                         const XoltLogCfg& cfg, std::span<const SectionKey> keys) {
  for (const SectionKey& key : keys) {
    apply_key(held, section, cfg, key);
  }
}

}  // namespace xoltlog
