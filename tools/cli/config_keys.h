// The configuration keys as the tool sees them: each key's store name, the
// sections it belongs in, how its value reads as text and how a text is
// turned into a record change through the record's accessors, so that the
// library's own checks decide what is accepted.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "xoltlog/config.h"

namespace xoltlog::tool {

// Sections a key is read from and written to.
enum KeySections : unsigned { kProductSections = 1, kLogsetSections = 2, kAllSections = 3 };

struct KeyInfo {
  const char* name;
  unsigned sections;
  std::uint32_t mask;
  const char* allowed;  // for a refused value: what is accepted
  // Any stored text is read into some value (booleans, switches, SDDL), so
  // a section holding the key always decides it.
  bool any_text_reads;
  // The value in the record, as the store writes it; nullopt when unset.
  std::optional<std::string> (*render)(const XoltLogCfg& cfg);
  // Changes the record through its accessor: 0, or the accessor's result
  // (3 for a value it, or the tool's parsing, refuses).
  std::uint32_t (*apply)(XoltLogCfg& cfg, const std::string& text);
};

std::span<const KeyInfo> config_keys();

// The key named name, without regard to case; null when there is none.
const KeyInfo* find_key(const std::string& name);

// A record with the initial values the readers start from, for product and
// originator, or for a logset when logset is given.
void init_record(XoltLogCfg& cfg, std::uint32_t product, std::uint32_t originator,
                 const char* logset);

// A configuration record that releases its texts when it goes.
struct OwnedRecord {
  XoltLogCfg cfg{};
  OwnedRecord() = default;
  OwnedRecord(const OwnedRecord&) = delete;
  OwnedRecord& operator=(const OwnedRecord&) = delete;
  ~OwnedRecord() { xoltLogFreeCfg(&cfg); }
};

// Takes a text the library handed out and releases it.
std::optional<std::string> take_text(char* text);

}  // namespace xoltlog::tool
