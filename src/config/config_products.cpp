// The records of one registered product, or of every one, found through the
// registration store's enumeration.
#include <optional>

#include "config/config_collect.h"
#include "config/store_layout.h"
#include "frame/result_map.h"

namespace xoltlog {
namespace {

// Both collectors of one product into the array: 0 when at least one of
// them succeeded, else the first failure.
std::uint32_t collect_product(const LibraryLockGuard& held, std::uint32_t product,
                              const ProductRegistration& registration, RecordArray& array) {
  const std::uint32_t originators = collect_originators(held, product, registration, array);
  const std::uint32_t logsets = collect_logsets(held, product, registration, array);
  return originators == XOLTLOG_OK || logsets == XOLTLOG_OK ? std::uint32_t{XOLTLOG_OK}
                                                            : originators;
}

std::uint32_t by_count(const RecordArray& array) noexcept {
  return array.count() > 0 ? std::uint32_t{XOLTLOG_OK} : std::uint32_t{XOLTLOG_E_NO_CFG};
}

}  // namespace

std::uint32_t read_product_configs(const LibraryLockGuard& held, const char* registration,
                                   std::uint32_t product, RecordArray& array) {
  OpenStore root;
  if (const std::uint32_t opened = root.open(registration, "", XOLTLOG_STORE_READ); opened != 0) {
    return map_store_result(opened);
  }
  SectionNames keys(root.get(), StoreSections::kProducts);
  for (;;) {
    const std::uint32_t step = keys.next();
    if (step == XOLTLOG_STORE_NO_MORE) {
      return XOLTLOG_E_NO_CFG;
    }
    if (step != XOLTLOG_STORE_OK) {
      return map_store_result(step);
    }
    if (identifier_of(keys.name()) == product) {
      break;
    }
  }
  const std::optional<ProductRegistration> found = product_registration(registration, product);
  if (!found) {
    return XOLTLOG_E_NO_CFG;
  }
  const std::uint32_t collected = collect_product(held, product, *found, array);
  return collected == XOLTLOG_OK ? by_count(array) : collected;
}

std::uint32_t read_all_configs(const LibraryLockGuard& held, const char* registration,
                               RecordArray& array) {
  OpenStore root;
  if (const std::uint32_t opened = root.open(registration, "", XOLTLOG_STORE_READ); opened != 0) {
    return map_store_result(opened);
  }
  SectionNames keys(root.get(), StoreSections::kProducts);
  bool any_read = false;
  std::uint32_t step = XOLTLOG_STORE_OK;
  // Once the array is full no product could add a record.
  while (!array.full() && (step = keys.next()) == XOLTLOG_STORE_OK) {
    const std::uint32_t product = identifier_of(keys.name());
    const std::optional<ProductRegistration> found = product_registration(registration, product);
    if (found && collect_product(held, product, *found, array) == XOLTLOG_OK) {
      any_read = true;
    }
  }
  const bool failed = step != XOLTLOG_STORE_OK && step != XOLTLOG_STORE_NO_MORE;
  if (failed && !any_read) {
    return map_store_result(step);
  }
  return by_count(array);
}

}  // namespace xoltlog
