// The small lookups of configuration readers and tools: a product's
// registration, its product-level switch, the logging tools' resource
// directory, and the short name in a record's name lists.
//
// None takes the library lock except where a record is read (which the
// held guard says). Functions not marked noexcept may throw std::bad_alloc.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "frame/library_lock.h"
#include "xoltlog/config.h"
#include "xoltlog/config_read.h"

namespace xoltlog {

// What a product registration key holds.
struct ProductRegistration {
  std::string location;  // the product configuration location, never empty
  std::string names;     // the product names; empty when the key has none
};

// The registration of product in the registration store at registration
// (the store location for null). Nothing when the key cannot be opened or
// has no (or an empty) "Configuration" value: the product is not
// registered.
std::optional<ProductRegistration> product_registration(const char* registration,
                                                        std::uint32_t product);

// Copies at most 1024 characters of names into the record's product names.
void set_product_names(const LibraryLockGuard& held, XoltLogCfg& cfg, const std::string& names);

// See GetProductCfgPath, GetProductLoggingLevel and xoltLogCfgGetToolsResDir;
// the arguments are not null.
std::uint32_t product_config_path(const char* registration, std::uint32_t product, char** path);
std::uint32_t product_logging_level(const char* registration, std::uint32_t product,
                                    std::uint32_t* level);
std::uint32_t tools_resource_dir(char** directory);

// The kind of name list that selects the product names; any other kind
// selects the originator names.
inline constexpr std::uint16_t kProductNamesKind = XOLTLOG_PRODUCT_NAMES_KIND;

// See LogCfgGetShortNames; *name is set to null first.
std::uint32_t short_name(const LibraryLockGuard& held, const XoltLogCfg& cfg, std::uint16_t kind,
                         char** name) noexcept;

}  // namespace xoltlog
