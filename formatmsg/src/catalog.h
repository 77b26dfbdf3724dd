// One message catalog: message identifiers mapped to templates with numbered
// insertion points. Pure text work, no files; docs/catalogs.md gives the
// format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

namespace xoltlog::fmt {

class Catalog {
 public:
  // Lines that are not "<id> = <template>" with an id from 1 to 2^32-1 are
  // skipped; the first line of an id wins. May throw std::bad_alloc.
  static Catalog parse(std::string_view content);

  // The template of id, or null when the catalog lacks it. The pointer
  // lives as long as the catalog.
  const std::string* find(std::uint32_t id) const;
  std::size_t size() const { return templates_.size(); }
  // Bytes the templates take, for the cache's budget.
  std::size_t bytes() const { return bytes_; }

 private:
  std::unordered_map<std::uint32_t, std::string> templates_;
  std::size_t bytes_ = 0;
};

// Appends tmpl to out with %1..%99 replaced by args[0..98] and %% by one %.
// An insertion point without an argument stays as written, so that a
// template that asks for more than the message carries shows it; any other
// % is kept literally.
void expand_template(std::string_view tmpl, std::span<const std::string> args, std::string& out);

}  // namespace xoltlog::fmt
