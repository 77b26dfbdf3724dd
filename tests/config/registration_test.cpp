// xoltLogAddProductCfg and xoltLogRemoveProductCfg on both backends, and
// the removal of the registration root with the last product.
#include <string>

#include "config/write_test_support.h"

namespace {

using xoltlog::test::Backend;
using xoltlog::test::Record;
using xoltlog::test::section_view;
using xoltlog::test::Store;
using xoltlog::test::WriteStore;

// The registry's default location, whatever the store location is.
std::string registry_root() { return section_view("SOFTWARE\\KESTRAN", "xoltlog"); }

class Registration : public WriteStore {};

class RegistryRegistration : public xoltlog::test::StoreFixture {
 protected:
  RegistryRegistration() : StoreFixture(Backend::kRegistry) {}
};

class FileRegistration : public xoltlog::test::StoreFixture {
 protected:
  FileRegistration() : StoreFixture(Backend::kFile) {}
};

INSTANTIATE_TEST_SUITE_P(Config, Registration,
                         ::testing::Values(Backend::kRegistry, Backend::kFile),
                         xoltlog::test::backend_name);

TEST_P(Registration, AddingTwiceKeepsTheFirstRegistration) {
  EXPECT_EQ(xoltLogAddProductCfg(0, "a", "b"), 3u);
  EXPECT_EQ(xoltLogAddProductCfg(12, nullptr, "b"), 3u);
  EXPECT_EQ(xoltLogAddProductCfg(12, "a", nullptr), 3u);
  EXPECT_EQ(registration_view(12), "<2>");

  ASSERT_EQ(xoltLogAddProductCfg(12, "pa,Product A", location(12).c_str()), 0u);
  const std::string first = "Configuration=" + location(12) + "; Names=pa,Product A";
  EXPECT_EQ(registration_view(12), first);
  EXPECT_EQ(xoltLogAddProductCfg(12, "other", "elsewhere"), 27u);
  EXPECT_EQ(registration_view(12), first);
}

// A key without a configuration location is not a registration yet.
TEST_P(Registration, AddingCompletesAKeyWithoutConfiguration) {
  Store key;
  ASSERT_EQ(CreatePropertyString(registration().c_str(), "12", &key.handle), 0u);
  ASSERT_EQ(utiSetPropertyAsStr(&key.handle, "Names", "old"), 0u);
  EXPECT_EQ(xoltLogAddProductCfg(12, "new", "loc"), 0u);
  EXPECT_EQ(registration_view(12), "Configuration=loc; Names=new");
}

TEST_P(Registration, AddingWhereNoKeyCanBeMadeGives6) {
  if (registry()) {
    setenv("XOLTLOG_REGISTRY_ROOT", root_.file("missing").c_str(), 1);
  } else {
    ASSERT_EQ(add_product(12), 0u);  // the store file now blocks a directory of that name
    setenv("XOLTLOG_CFG_LOC", (registration() + "/x.conf").c_str(), 1);
  }
  xoltlog::forget_store_location();
  EXPECT_EQ(xoltLogAddProductCfg(13, "a", "b"), 6u);
}

TEST_P(Registration, RemovingRefusesUnregisteredProducts) {
  EXPECT_EQ(xoltLogRemoveProductCfg(0), 3u);
  EXPECT_EQ(xoltLogRemoveProductCfg(12), 6u);
  Store key;
  ASSERT_EQ(CreatePropertyString(registration().c_str(), "12", &key.handle), 0u);
  ASSERT_EQ(utiSetPropertyAsStr(&key.handle, "Names", "a"), 0u);
  EXPECT_EQ(xoltLogRemoveProductCfg(12), 6u);
  EXPECT_EQ(registration_view(12), "Names=a");
}

// The last product takes "SOFTWARE\KESTRAN\xoltlog" with it, but not the
// vendor's key, nor the sections kept at the product's own location.
TEST_F(RegistryRegistration, RemovingTheLastProductRemovesTheRegistrationRoot) {
  ASSERT_EQ(add_product(12), 0u);
  ASSERT_EQ(add_product(13), 0u);
  Record record(12);
  xoltLogCfgSetDebugLevel(&record.cfg, 2);
  ASSERT_EQ(xoltLogWriteCfg(12, XOLTLOG_DEFAULT_ORIGINATOR, &record.cfg), 0u);

  EXPECT_EQ(xoltLogRemoveProductCfg(12), 0u);
  EXPECT_EQ(registration_view(12), "<2>");
  EXPECT_EQ(registry_root(), "");
  EXPECT_EQ(xoltLogWriteCfg(12, XOLTLOG_DEFAULT_ORIGINATOR, &record.cfg), 6u);
  EXPECT_EQ(section(12, "Default"), "DebugLevel=2; AppMsgLogging=ON");

  EXPECT_EQ(xoltLogRemoveProductCfg(13), 0u);
  EXPECT_EQ(registry_root(), "<2>");
  EXPECT_EQ(section_view("SOFTWARE", "KESTRAN"), "");
  EXPECT_EQ(xoltLogRemoveProductCfg(13), 6u);
  EXPECT_EQ(add_product(13), 0u);
}

TEST_F(RegistryRegistration, LoggingToolsKeepTheRegistrationRoot) {
  Store tools;
  ASSERT_EQ(CreatePropertyString(registration().c_str(), "LoggingTools", &tools.handle), 0u);
  ASSERT_EQ(add_product(12), 0u);
  EXPECT_EQ(xoltLogRemoveProductCfg(12), 0u);
  EXPECT_EQ(registry_root(), "");
  EXPECT_EQ(section_view(registration(), "LoggingTools"), "");
}

// With a store file the values go from the file; the key removal still
// works on the registry's default location and reports its result.
TEST_F(FileRegistration, AStoreFileRemovesItsValuesAndReportsTheRegistryKey) {
  for (const uint32_t product : {12u, 13u, 14u}) {
    ASSERT_EQ(add_product(product), 0u);
  }
  EXPECT_EQ(xoltLogRemoveProductCfg(12), 6u);  // no default location in the registry
  EXPECT_EQ(registration_view(12), "");
  EXPECT_EQ(registration_view(13), "Configuration=" + location(13) + "; Names=p,Product");
  EXPECT_EQ(xoltLogRemoveProductCfg(12), 6u);

  Store key;
  ASSERT_EQ(CreatePropertyString(xoltlog::kDefaultStoreLocation, "13", &key.handle), 0u);
  EXPECT_EQ(xoltLogRemoveProductCfg(13), 0u);
  EXPECT_EQ(registration_view(13), "");
  EXPECT_EQ(registry_root(), "<2>");

  Store tools;
  ASSERT_EQ(CreatePropertyString(xoltlog::kDefaultStoreLocation, "LoggingTools", &tools.handle),
            0u);
  EXPECT_EQ(xoltLogRemoveProductCfg(14), 50u);  // no key of its own there
  EXPECT_EQ(registration_view(14), "");
  EXPECT_EQ(registry_root(), "");
}

}  // namespace
