// The configuration store as the config and log commands use it: which
// products are registered, products and originators named by id or name,
// the sections that hold a product's settings and their raw keys.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "xoltlog/config.h"
#include "xoltlog/property_store.h"

namespace xoltlog::tool {

// The records the readers allocated, of every product or one; released
// when the array goes. The one way the tool reads the store's records.
class RecordArray {
 public:
  RecordArray() = default;
  RecordArray(const RecordArray&) = delete;
  RecordArray& operator=(const RecordArray&) = delete;
  ~RecordArray();

  // Every record of every registered product (product 0), or of one.
  // Throws ToolError when the store cannot be read; an empty array when it
  // holds no records.
  void read(std::uint32_t product = 0);
  const std::vector<XoltLogCfg*>& records() const { return records_; }

 private:
  std::vector<XoltLogCfg*> records_;
};

// Throws ToolError(kStore) with what to do next when the store named by
// GetXoltLogCfgLoc() cannot be opened.
void require_store();

// The identifier text spells (1 to 4294967295), if it spells one.
std::optional<std::uint32_t> parse_id(const std::string& text);
// The originator text names among records (of one product): 112 for
// "Default" in any case, an identifier, or one of the names in a section;
// 0 when none.
std::uint32_t originator_in(const std::vector<XoltLogCfg*>& records, const std::string& text);

// The product named by text (its id, or one of its names); throws
// ToolError(kNotFound) when no registered product is.
std::uint32_t resolve_product(const std::string& text);
// The originator of product named by text: "Default", an id, or one of
// the names in its section; throws ToolError(kNotFound).
std::uint32_t resolve_originator(std::uint32_t product, const std::string& text);

// The product's configuration location; throws ToolError(kNotFound) with a
// hint when the product is not registered.
std::string product_location(std::uint32_t product);

// One section of a product: the "Default" section (originator 112), an
// originator's, or a logset's.
struct SectionRef {
  std::uint32_t product = 0;
  std::uint32_t originator = XOLTLOG_DEFAULT_ORIGINATOR;
  std::optional<std::string> logset;

  std::string label() const;  // "originator 5", "logset audit", ...
};

// A section of the store opened for reading or changing; closed when it
// goes. A section that does not exist leaves it closed.
class RawSection {
 public:
  RawSection(const std::string& location, const SectionRef& section, std::uint32_t mode);
  RawSection(const RawSection&) = delete;
  RawSection& operator=(const RawSection&) = delete;
  ~RawSection() { utiClosePropertyStore(&handle_); }

  bool is_open() const { return open_; }
  std::uint32_t open_result() const { return open_result_; }
  // The text of a key; nullopt when absent or not text (registry numbers).
  std::optional<std::string> text(const char* key);
  // 0, or the store result of the removal.
  std::uint32_t remove(const char* key);
  std::uint32_t set_text(const char* key, const std::string& value);

 private:
  XoltLogPropertyStore handle_{};
  bool open_ = false;
  std::uint32_t open_result_ = 0;
};

bool is_store_file(const std::string& location);

// What to do when the store named by GetXoltLogCfgLoc() cannot be reached.
std::string store_hint();
// Where to look up the names of products, originators and logsets.
std::string products_hint();

}  // namespace xoltlog::tool
