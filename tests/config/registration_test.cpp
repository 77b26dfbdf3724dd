// xoltLogAddProductCfg and xoltLogRemoveProductCfg, and the removal of the
// registration root in the registry with the last product.
#include <string>

#include "config/write_test_support.h"

namespace {

using xoltlog::test::Backend;
using xoltlog::test::section_view;
using xoltlog::test::Store;

// The registry's default location, whatever the store location is.
std::string registry_root() { return section_view("SOFTWARE\\KESTRAN", "xoltlog"); }

class Registration : public xoltlog::test::WriteStore {};

INSTANTIATE_TEST_SUITE_P(Config, Registration,
                         ::testing::Values(Backend::kRegistry, Backend::kFile),
                         xoltlog::test::backend_name);

TEST_P(Registration, AddsOnceAndRemovesOnlyRegisteredProducts) {
  EXPECT_EQ(xoltLogAddProductCfg(0, "a", "b"), 3u);
  EXPECT_EQ(xoltLogAddProductCfg(12, nullptr, "b"), 3u);
  EXPECT_EQ(xoltLogAddProductCfg(12, "a", nullptr), 3u);
  EXPECT_EQ(xoltLogRemoveProductCfg(0), 3u);
  EXPECT_EQ(xoltLogRemoveProductCfg(12), 6u);
  EXPECT_EQ(registration_view(12), "<2>");

  // A key without a configuration location is not a registration yet.
  Store key;
  ASSERT_EQ(CreatePropertyString(registration().c_str(), "12", &key.handle), 0u);
  ASSERT_EQ(utiSetPropertyAsStr(&key.handle, "Names", "old"), 0u);
  EXPECT_EQ(xoltLogRemoveProductCfg(12), 6u);
  ASSERT_EQ(xoltLogAddProductCfg(12, "pa,Product A", "loc"), 0u);
  EXPECT_EQ(registration_view(12), "Configuration=loc; Names=pa,Product A");
  EXPECT_EQ(xoltLogAddProductCfg(12, "other", "elsewhere"), 27u);
  EXPECT_EQ(registration_view(12), "Configuration=loc; Names=pa,Product A");
}

TEST_P(Registration, AddingWhereNoKeyCanBeMadeGives6) {
  if (registry()) {
    setenv("XOLTLOG_REGISTRY_ROOT", root_.file("missing").c_str(), 1);
  } else {
    ASSERT_EQ(add_product(12), 0u);  // the store file now blocks a directory of its name
    setenv("XOLTLOG_CFG_LOC", (registration() + "/x.conf").c_str(), 1);
  }
  xoltlog::forget_store_location();
  EXPECT_EQ(xoltLogAddProductCfg(13, "a", "b"), 6u);
}

// The last product takes "SOFTWARE\KESTRAN\xoltlog" with it unless
// "LoggingTools" is there, but never the vendor's key, nor the sections
// kept at the product's own location.
TEST_P(Registration, TheLastProductTakesTheRegistrationRootAlong) {
  ASSERT_EQ(add_product(12), 0u);
  ASSERT_EQ(add_product(13), 0u);
  xoltlog::test::Record record(12);
  xoltLogCfgSetDebugLevel(&record.cfg, 2);
  ASSERT_EQ(xoltLogWriteCfg(12, XOLTLOG_DEFAULT_ORIGINATOR, &record.cfg), 0u);
  Store key12, key13;
  if (!registry()) {
    // A store file loses its values; the key removal still works on the
    // registry's default location and reports its result.
    ASSERT_EQ(add_product(14), 0u);
    EXPECT_EQ(xoltLogRemoveProductCfg(14), 6u);  // no default location there at all
    EXPECT_EQ(registration_view(14), "");
    ASSERT_EQ(CreatePropertyString(xoltlog::kDefaultStoreLocation, "12", &key12.handle), 0u);
    ASSERT_EQ(CreatePropertyString(xoltlog::kDefaultStoreLocation, "13", &key13.handle), 0u);
  }
  EXPECT_EQ(xoltLogRemoveProductCfg(12), 0u);
  EXPECT_EQ(registration_view(12), registry() ? "<2>" : "");
  EXPECT_EQ(registry_root(), "");
  EXPECT_EQ(xoltLogWriteCfg(12, XOLTLOG_DEFAULT_ORIGINATOR, &record.cfg), 6u);
  EXPECT_EQ(section(12, "Default"), "DebugLevel=2; AppMsgLogging=ON");

  EXPECT_EQ(xoltLogRemoveProductCfg(13), 0u);
  EXPECT_EQ(registry_root(), "<2>");
  EXPECT_EQ(section_view("SOFTWARE", "KESTRAN"), "");
  EXPECT_EQ(xoltLogRemoveProductCfg(13), 6u);

  Store tools;
  ASSERT_EQ(CreatePropertyString(xoltlog::kDefaultStoreLocation, "LoggingTools", &tools.handle),
            0u);
  ASSERT_EQ(add_product(14), 0u);
  // A store file's product has no key of its own in the registry.
  EXPECT_EQ(xoltLogRemoveProductCfg(14), registry() ? 0u : 50u);
  EXPECT_EQ(registry_root(), "");
}

}  // namespace
