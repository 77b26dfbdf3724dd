// Where configuration lives in the property store: the store location, the
// registration keys of products, the configuration location of each
// product, and the names of its sections and keys.
//
//   <store location>\<product>          Configuration, Names, AppMsgLogging
//   <store location>\LoggingTools       L10nResourceDir
//   <configuration location>\Default    the product-wide settings
//   <configuration location>\<originator>
//   <configuration location>\LOGSET\<logset>    (registry)
//   LOGSET.<logset>.<key> lines                 (store file)
//
// A location that contains ".conf" is a store file, any other a registry
// path. Nothing here takes the library lock; the lookups may throw
// std::bad_alloc.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "xoltlog/property_store.h"

namespace xoltlog {

inline constexpr char kDefaultStoreLocation[] = "SOFTWARE\\KESTRAN\\xoltlog";
inline constexpr char kStoreLocationVariable[] = "XOLTLOG_CFG_LOC";
inline constexpr char kDefaultSection[] = "Default";
inline constexpr char kLogsetKey[] = "LOGSET";
inline constexpr char kLoggingToolsKey[] = "LoggingTools";

// Values of a product registration key, and of the logging tools' key.
inline constexpr char kConfigurationValue[] = "Configuration";
inline constexpr char kNamesValue[] = "Names";
inline constexpr char kProductAppMsgLoggingValue[] = "AppMsgLogging";
inline constexpr char kToolsResourceDirValue[] = "L10nResourceDir";

// $XOLTLOG_CFG_LOC as it was at the first call, else the default location;
// never null. Safe when threads race to the first call.
const char* store_location() noexcept;
// Makes the next store_location() read the environment again. For tests
// only, with no other thread in the library.
void forget_store_location() noexcept;

bool is_default_originator(std::uint32_t originator) noexcept;
// True for exactly "Default"; false for null.
bool is_default_logset(const char* logset) noexcept;

// "Default" for the default originator, else the identifier in decimal.
std::string originator_section(std::uint32_t originator);
// "Default" for the default logset, else the name.
std::string logset_section(const char* logset);
// The name of a product's registration key: its identifier in decimal.
std::string product_key(std::uint32_t product);
// The decimal value of a section or key name, as the C library reads it
// (0 when it does not start with a digit).
std::uint32_t identifier_of(const char* name) noexcept;

// Where the sections of a product's logsets are: below "LOGSET" in a
// registry store; in a store file the location itself, with sections named
// "LOGSET." and the logset's section name.
std::string logset_root(const std::string& product_location);
std::string logset_store_section(const std::string& product_location,
                                 const std::string& section);

// A property store handle that closes itself.
class OpenStore {
 public:
  OpenStore() noexcept;
  ~OpenStore();
  OpenStore(const OpenStore&) = delete;
  OpenStore& operator=(const OpenStore&) = delete;

  // utiOpenPropertyStore (mode 1 for changes) and CreatePropertyString;
  // the store results and result code of those.
  std::uint32_t open(const std::string& location, const std::string& section,
                     std::uint32_t mode);
  std::uint32_t create(const std::string& location, const std::string& section);
  XoltLogPropertyStore* get() noexcept { return &handle_; }
  // The text of a property, or nothing when it cannot be read.
  std::optional<std::string> text(const char* name);

 private:
  XoltLogPropertyStore handle_;
};

// The product configuration location that the registration key of product
// names at registration (the store location for null); nothing when the
// product is not registered.
std::optional<std::string> product_config_location(const char* registration,
                                                   std::uint32_t product);
// The product names of its registration key; nothing when absent.
std::optional<std::string> product_names(const char* registration, std::uint32_t product);

}  // namespace xoltlog
