// Configuration stores for the reader tests, set up through the property
// store's operations: a registration store and per-product configuration
// locations, each in the registry stand-in or in a store file. The cached
// store location is forgotten before and after every test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "xoltlog/config.h"

namespace xoltlog::test {

enum class Backend { kRegistry, kFile };

// Where registrations live and where the products' sections live.
struct Layout {
  Backend registration;
  Backend configuration;
};
std::string layout_name(const ::testing::TestParamInfo<Layout>& info);
// Every pairing of the two backends.
inline auto all_layouts() {
  return ::testing::Values(Layout{Backend::kRegistry, Backend::kRegistry},
                           Layout{Backend::kFile, Backend::kFile},
                           Layout{Backend::kRegistry, Backend::kFile},
                           Layout{Backend::kFile, Backend::kRegistry});
}

// A section of a store: its location and section text.
struct Section {
  std::string location;
  std::string section;
};

class ReadFixture : public ::testing::Test {
 protected:
  // Sets up the environment for layout; call once, from SetUp.
  void use(Layout layout);
  void TearDown() override;

  std::string registration() const;
  std::string config_location(std::uint32_t product) const;
  Section registration_key(const std::string& name) const { return {registration(), name}; }
  // "Default" or an originator's decimal identifier.
  Section section(std::uint32_t product, const std::string& name) const;
  Section logset(std::uint32_t product, const std::string& name) const;

  // Registers product with its configuration at config_location(product).
  void register_product(std::uint32_t product, const std::string& names = "Prod,Product");
  void put(const Section& at, const char* key, const std::string& text);
  void put_number(const Section& at, const char* key, std::uint32_t number);
  void put_bool(const Section& at, const char* key, bool on);

  TempDir root_;
  Layout layout_{};
};

class ReadBoth : public ReadFixture, public ::testing::WithParamInterface<Layout> {
 protected:
  void SetUp() override { use(GetParam()); }
};

// A caller's record, released at the end of the scope.
struct Cfg {
  XoltLogCfg cfg{};
  ~Cfg() { xoltLogFreeCfg(&cfg); }
};

// A caller's record array of capacity slots, its records released at the
// end of the scope.
struct Records {
  explicit Records(std::size_t capacity) : slots(capacity + 1, nullptr) {}
  ~Records();
  XoltLogCfg** data() { return slots.data(); }
  // "product/originator" or "product/L:logset" per record, in array order.
  std::vector<std::string> summary() const;
  const XoltLogCfg& operator[](std::size_t i) const { return *slots[i]; }
  // Nothing was stored in the slot past the capacity.
  bool within_capacity() const { return slots.back() == nullptr; }

  std::vector<XoltLogCfg*> slots;
  std::uint64_t count = 99;
};

// The text of the record field that key fills ("null" for an unset owned
// text); "LogsetName" and "LogsetMarker" for the logset fields.
std::string field_of(const XoltLogCfg& cfg, const std::string& key);
// Every field by its key, "Key=value" joined with "; ", change mask last.
std::string describe(const XoltLogCfg& cfg);

}  // namespace xoltlog::test
