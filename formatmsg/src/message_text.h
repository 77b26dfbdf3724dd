// The text of a message record: its rendered text when it has one,
// otherwise its Rir message rendered here. A catalog message (identifier
// nonzero) takes its template from the product's catalogs and its arguments
// as insertion strings; one that no catalog knows gives
// "[Cannot find catalog for message id=N] " and its arguments joined by
// ",". A message with identifier 0 is its arguments one after another.
// Nested messages render the same way at their place.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalog.h"
#include "xoltlog/rir.h"

namespace xoltlog::fmt {

class CatalogCache;

// The catalogs of one product and locale, read from the cache on first use
// and held for one rendering. Not shared between threads.
class CatalogLookup {
 public:
  CatalogLookup(std::vector<std::string> paths, CatalogCache& cache)
      : paths_(std::move(paths)), cache_(cache) {}

  // The template of id from the first catalog that has it, most specific
  // locale first; null when none does.
  const std::string* find(std::uint32_t id);

 private:
  std::vector<std::string> paths_;
  CatalogCache& cache_;
  std::vector<std::shared_ptr<const Catalog>> catalogs_;
  bool loaded_ = false;
};

// The text of msg (never throws but std::bad_alloc).
std::string rir_text(const XoltRirMsg& msg, CatalogLookup& lookup);

// One argument as an insertion string: numbers in decimal, pointers in hex
// with 0x, doubles as printf's %f, dates as local "YYYY-MM-DD hh:mm:ss",
// wide text in UTF-8. Exposed for the tests.
std::string argument_text(const XoltRirArgIter& it, std::uint32_t type, CatalogLookup& lookup,
                          int depth);

}  // namespace xoltlog::fmt
