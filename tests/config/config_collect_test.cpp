// Arrays of records from xoltLogReadProdIDCfg and xoltLogReadAllCfg, and
// the small lookups over the registration store.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "config/read_fixture.h"
#include "config/store_layout.h"
#include "support/allocation_faults.h"
#include "xoltlog/config_read.h"
#include "xoltlog/frame.h"

namespace xoltlog::test {
namespace {

using Names = std::vector<std::string>;

class Collect : public ReadBoth {
 protected:
  // "Default", originators 7 and 9, the "Default" logset and logset "web".
  void product_with_sections(std::uint32_t product) {
    register_product(product, "P" + std::to_string(product));
    const Section defaults = section(product, "Default");
    put(defaults, "LogDirectory", "/var/log/p");
    put_bool(defaults, "LogRecycle", true);
    put_number(defaults, "NtEventLogCategory", 9);
    put_number(section(product, "7"), "DebugLevel", 5);
    put(section(product, "9"), "LogDirectory", "nine");
    put(logset(product, "Default"), "OIDDebugLogging", "1,2");
    put(logset(product, "Default"), "LogDirectory", "/var/log/sets");
    put(logset(product, "web"), "LogDirectory", "web");
  }
  static Names five(const std::string& product) {
    return {product + "/112", product + "/7", product + "/9", product + "/L:Default",
            product + "/L:web"};
  }
};

INSTANTIATE_TEST_SUITE_P(Layouts, Collect, all_layouts(), layout_name);

TEST_P(Collect, OneProductInStoreOrderWithCopiedDefaults) {
  product_with_sections(12);
  product_with_sections(13);
  Records records(10);
  EXPECT_EQ(xoltLogReadProdIDCfg(nullptr, 12, 10, records.data(), &records.count), 0u);
  ASSERT_EQ(records.summary(), five("12"));
  const auto fields = [&](std::size_t i, std::initializer_list<const char*> keys) {
    std::string out;
    for (const char* key : keys) {
      out += field_of(records[i], key) + "|";
    }
    return out;
  };
  const auto originator_keys = {"LogDirectory", "DebugLevel", "LogRecycle",
                                "NtEventLogCategory", "Names", "ChangeMask"};
  EXPECT_EQ(fields(0, originator_keys), "/var/log/p/|0|1|9|P12|0|");
  // Copies of the "Default" record carry neither recycling nor the category.
  EXPECT_EQ(fields(1, originator_keys), "/var/log/p/|5|0|0|P12|0|");
  EXPECT_EQ(fields(2, originator_keys), "/var/log/p/nine/|0|0|0|P12|0|");
  const auto logset_keys = {"LogDirectory", "OIDDebugLogging", "FileName", "Names",
                            "LogsetMarker"};
  EXPECT_EQ(fields(3, logset_keys), "/var/log/sets/|1,2|Default|P12|1|");
  // Nor do copies of the "Default" logset record carry the OID lists.
  EXPECT_EQ(fields(4, logset_keys), "/var/log/sets/web/|null|web|P12|1|");
  EXPECT_EQ(records[4].originator_id, 0u);

  Records named(10);
  EXPECT_EQ(xoltLogReadProdIDCfg(registration().c_str(), 13, 10, named.data(), &named.count), 0u);
  EXPECT_EQ(named.summary(), five("13"));
}

TEST_P(Collect, AllProductsOneAfterAnother) {
  product_with_sections(12);
  put(registration_key("LoggingTools"), "L10nResourceDir", "/usr/share/tools");
  put(registration_key("20"), "Names", "Unconfigured");
  product_with_sections(13);
  Records records(20);
  EXPECT_EQ(xoltLogReadAllCfg(nullptr, 20, records.data(), &records.count), 0u);
  Names expected = five("12"), more = five("13");
  expected.insert(expected.end(), more.begin(), more.end());
  EXPECT_EQ(records.summary(), expected);
}

// Whichever allocation fails, the result says so or the records still
// counted are whole; nothing leaks.
TEST_P(Collect, MemoryRunningOutAtAnyAllocation) {
  product_with_sections(12);
  const int runs = for_each_allocation_fault(
      [](long) { return std::make_unique<Records>(10); },
      [](std::unique_ptr<Records>& records) {
        return xoltLogReadProdIDCfg(nullptr, 12, 10, records->data(), &records->count);
      },
      [](long allowed, std::unique_ptr<Records>& records, std::uint32_t result) {
        EXPECT_TRUE(result == 0 || result == 4 || result == 6 || result == 39)
            << allowed << ": " << result;
        EXPECT_LE(records->count, 10u);
        for (const std::string& name : records->summary()) {
          EXPECT_EQ(name.rfind("12/", 0), 0u) << allowed;
        }
      });
  EXPECT_GT(runs, 20);
  for_each_allocation_fault(
      [](long) { return std::make_unique<Cfg>(); },
      [](std::unique_ptr<Cfg>& read) { return xoltLogReadCfg(12, 9, &read->cfg); },
      [](long allowed, std::unique_ptr<Cfg>&, std::uint32_t result) {
        EXPECT_TRUE(result == 0 || result == 4 || result == 6) << allowed << ": " << result;
      });
}

TEST_P(Collect, CapacitiesStopTheCollectors) {
  product_with_sections(12);
  product_with_sections(13);
  const Names all = five("12");
  struct Row {
    bool all_products;
    std::uint64_t capacity;
    std::uint32_t result;
    Names names;
  } const rows[] = {
      {false, 0, 39, {}},
      {false, 1, 0, {all.begin(), all.begin() + 1}},
      {false, 3, 0, {all.begin(), all.begin() + 3}},
      {false, 4, 0, {all.begin(), all.begin() + 4}},
      {false, 5, 0, all},
      {true, 0, 39, {}},
      {true, 6, 0, {"12/112", "12/7", "12/9", "12/L:Default", "12/L:web", "13/112"}},
  };
  for (const Row& row : rows) {
    Records records(row.capacity);
    const std::uint32_t result =
        row.all_products
            ? xoltLogReadAllCfg(nullptr, row.capacity, records.data(), &records.count)
            : xoltLogReadProdIDCfg(nullptr, 12, row.capacity, records.data(), &records.count);
    EXPECT_EQ(result, row.result) << row.capacity;
    EXPECT_EQ(records.summary(), row.names) << row.capacity;
    EXPECT_TRUE(records.within_capacity()) << row.capacity;
  }
}

TEST_P(Collect, DuplicatesAreLeftOut) {
  register_product(12);
  put_number(section(12, "Default"), "DebugLevel", 1);
  put_number(section(12, "07"), "DebugLevel", 2);
  put_number(section(12, "112"), "DebugLevel", 4);
  put_number(section(12, "7"), "DebugLevel", 3);
  // A second registration key naming the same product adds nothing.
  put(registration_key("012"), "Configuration", config_location(12));
  for (const bool all : {false, true}) {
    Records records(10);
    EXPECT_EQ(all ? xoltLogReadAllCfg(nullptr, 10, records.data(), &records.count)
                  : xoltLogReadProdIDCfg(nullptr, 12, 10, records.data(), &records.count),
              0u);
    ASSERT_EQ(records.summary(), (Names{"12/112", "12/7"})) << all;
    EXPECT_EQ(field_of(records[0], "DebugLevel") + field_of(records[1], "DebugLevel"), "12");
  }
}

// The null arguments of every reader are refused in one table in
// config_read_test.cpp.
TEST_P(Collect, ProductsWithoutRecords) {
  register_product(12);
  put(registration_key("13"), "Names", "NoConfiguration");
  Records records(4);
  std::uint64_t count = 7;
  struct Row {
    const char* what;
    std::uint32_t result;
    std::uint32_t got;
  } const rows[] = {
      // Neither its sections nor its logsets can be opened.
      {"sections never written", 6,
       xoltLogReadProdIDCfg(nullptr, 12, 4, records.data(), &count)},
      {"no Configuration value", 39,
       xoltLogReadProdIDCfg(nullptr, 13, 4, records.data(), &count)},
      {"no registration key", 39, xoltLogReadProdIDCfg(nullptr, 99, 4, records.data(), &count)},
      {"all, none with records", 39, xoltLogReadAllCfg(nullptr, 4, records.data(), &count)},
      {"missing registration store", 6,
       xoltLogReadAllCfg((root_.path() + "/none.conf").c_str(), 4, records.data(), &count)},
      {"missing registration key path", 6,
       xoltLogReadProdIDCfg("SOFTWARE\\None", 12, 4, records.data(), &count)},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.got, row.result) << row.what;
  }
  EXPECT_EQ(count, 0u);
  records.count = 0;
}

TEST_P(Collect, RegistrationLookups) {
  char* text = nullptr;
  EXPECT_EQ(xoltLogCfgGetToolsResDir(&text), 6u);
  register_product(12);
  register_product(13);
  put_bool(registration_key("12"), "AppMsgLogging", false);
  put_bool(registration_key("13"), "AppMsgLogging", true);
  put(registration_key("LoggingTools"), "L10nResourceDir", "/usr/share/tools");

  EXPECT_EQ(std::string(GetXoltLogCfgLoc()), registration());
  ASSERT_EQ(xoltLogCfgGetToolsResDir(&text), 0u);
  EXPECT_EQ(std::string(text), "/usr/share/tools");
  xoltLogFree(text);
  const std::string registered_at = registration();
  for (const char* location : {static_cast<const char*>(nullptr), registered_at.c_str()}) {
    ASSERT_EQ(GetProductCfgPath(location, 12, &text), 0u);
    EXPECT_EQ(std::string(text), config_location(12));
    xoltLogFree(text);
  }
  char untouched = 'u';
  text = &untouched;
  EXPECT_EQ(GetProductCfgPath(nullptr, 99, &text), 6u);
  EXPECT_EQ(text, &untouched);

  struct Row {
    std::uint32_t product;
    std::uint32_t result;
    std::uint32_t level;
  } const rows[] = {{12, 0, 0}, {13, 0, 1}, {14, 6, 5}, {99, 6, 5}};
  for (const Row& row : rows) {
    std::uint32_t level = 5;
    EXPECT_EQ(GetProductLoggingLevel(nullptr, row.product, &level), row.result) << row.product;
    EXPECT_EQ(level, row.level) << row.product;
  }
}

TEST(ConfigNames, DefaultsAndIdentifiers) {
  EXPECT_EQ(std::vector<int>({IsDefaultOriginator(112), IsDefaultOriginator(7),
                              IsDefaultOriginator(0), IsDefaultLogSet("Default"),
                              IsDefaultLogSet("default"), IsDefaultLogSet("Default "),
                              IsDefaultLogSet(nullptr), isProdIdValid(0), isProdIdValid(12)}),
            (std::vector<int>{1, 0, 0, 1, 0, 0, 0, 0, 1}));
}

TEST(ConfigNames, ShortNamesAreTheFirstOfTheList) {
  struct Row {
    const char* names;
    std::uint16_t kind;
    const char* expected;
  } const rows[] = {
      {"Prod,Product", 263, "Prod"}, {"Prod Product", 263, "Prod"},
      {"ProdOnly", 263, "ProdOnly"}, {"A B,C", 263, "A B"},
      {",Later", 263, ""},           {"", 263, nullptr},
      {"Main,Service", 7, "Main"},   {"Main Service", 264, "Main"},
  };
  for (const Row& row : rows) {
    Cfg cfg;
    char* field = row.kind == 263 ? cfg.cfg.product_names : cfg.cfg.originator_names;
    std::strcpy(field, row.names);
    char sentinel = 's';
    char* name = &sentinel;
    ASSERT_EQ(LogCfgGetShortNames(&cfg.cfg, row.kind, &name), 0u) << row.names;
    ASSERT_NE(name, &sentinel);
    EXPECT_EQ(name == nullptr ? "<null>" : std::string(name),
              row.expected == nullptr ? "<null>" : std::string(row.expected))
        << row.names;
    xoltLogFree(name);
  }
  char* name = nullptr;
  EXPECT_EQ(LogCfgGetShortNames(nullptr, 263, &name), 3u);
  Cfg cfg;
  EXPECT_EQ(LogCfgGetShortNames(&cfg.cfg, 263, nullptr), 3u);
}

TEST(ConfigNames, TheStoreLocationIsReadOnce) {
  forget_store_location();
  setenv("XOLTLOG_CFG_LOC", "/etc/first.conf", 1);
  const std::string first = GetXoltLogCfgLoc();
  setenv("XOLTLOG_CFG_LOC", "/etc/second.conf", 1);
  EXPECT_EQ(first + " " + GetXoltLogCfgLoc(), "/etc/first.conf /etc/first.conf");
  unsetenv("XOLTLOG_CFG_LOC");
  forget_store_location();
  EXPECT_EQ(std::string(GetXoltLogCfgLoc()), "SOFTWARE\\KESTRAN\\xoltlog");
  forget_store_location();
}

}  // namespace
}  // namespace xoltlog::test
