// The property store's behaviour where the registry and the store file
// agree, and side by side where they differ.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/store_test_support.h"
#include "support/allocation_faults.h"
#include "config/store_typed.h"
#include "support/temp_dir.h"
#include "xoltlog/frame.h"
#include "xoltlog/property_store.h"

namespace {

using xoltlog::test::names_of;
using xoltlog::test::Store;
using xoltlog::test::text_of;

enum class Backend { kRegistry, kFile };

class BothBackends : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override { setenv("XOLTLOG_REGISTRY_ROOT", root_.path().c_str(), 1); }
  void TearDown() override { unsetenv("XOLTLOG_REGISTRY_ROOT"); }

  bool registry() const { return GetParam() == Backend::kRegistry; }
  std::string location() const {
    return registry() ? "SOFTWARE\\KESTRAN\\xoltlog" : root_.file("etc/cfg/xoltlog.conf");
  }
  uint32_t create(Store& store, const std::string& section) {
    return CreatePropertyString(location().c_str(), section.c_str(), &store.handle);
  }
  uint32_t open(Store& store, const std::string& section, uint32_t mode = 1) {
    return utiOpenPropertyStore(location().c_str(), section.c_str(), &store.handle, mode);
  }

  xoltlog::test::TempDir root_;
};

INSTANTIATE_TEST_SUITE_P(Store, BothBackends, ::testing::Values(Backend::kRegistry, Backend::kFile),
                         [](const auto& param_info) {
                           return param_info.param == Backend::kRegistry ? "Registry" : "File";
                         });

TEST_P(BothBackends, ValuesOfEveryTypeReadBackAsWritten) {
  Store store, earlier_reader;
  EXPECT_EQ(open(store, "12"), 2u);  // not before it is created
  ASSERT_EQ(create(store, "12"), 0u);
  ASSERT_EQ(open(earlier_reader, "12", 0), 0u);
  EXPECT_EQ(text_of(earlier_reader, "LogDirectory"), "<3>");
  EXPECT_EQ(utiSetPropertyAsStr(&store.handle, "LogDirectory", "/var/log/a"), 0u);
  EXPECT_EQ(utiSetPropertyAsStr(&store.handle, "LogDirectory", "/var/log/b"), 0u);
  EXPECT_EQ(text_of(store, "LogDirectory"), "/var/log/b");
  EXPECT_EQ(text_of(store, "logdirectory"), registry() ? "/var/log/b" : "<3>");
  EXPECT_EQ(text_of(earlier_reader, "LogDirectory"), "/var/log/b");

  for (const uint32_t number : {0u, 43200u, 2147483648u, 4294967295u}) {
    uint32_t read = 1;
    EXPECT_EQ(xoltlog::store_set_number(&store.handle, "NumberOfLogFiles", &number), 0u);
    EXPECT_EQ(xoltlog::store_get_number(&store.handle, "NumberOfLogFiles", &read), 0u);
    EXPECT_EQ(read, number);
  }
  for (const auto& [written, read_back] : {std::pair{1u, 1u}, {0u, 0u}, {7u, 0u}}) {
    uint32_t flag = 9;
    EXPECT_EQ(xoltlog::store_set_bool(&store.handle, "LogToStdout", &written), 0u);
    EXPECT_EQ(xoltlog::store_get_bool(&store.handle, "LogToStdout", &flag), 0u);
    EXPECT_EQ(flag, read_back) << written;
  }
  uint32_t untouched = 5;
  EXPECT_EQ(xoltlog::store_get_number(&store.handle, "Missing", &untouched), 3u);
  EXPECT_EQ(untouched, 5u);
}

TEST_P(BothBackends, RemovingASectionTakesAllItsPropertiesOnce) {
  Store twelve, thirteen, root, after;
  ASSERT_EQ(create(twelve, "12"), 0u);
  ASSERT_EQ(create(thirteen, "13"), 0u);
  ASSERT_EQ(utiSetPropertyAsStr(&twelve.handle, "LogDirectory", "a"), 0u);
  ASSERT_EQ(utiSetPropertyAsStr(&twelve.handle, "OIDNames", "b"), 0u);
  ASSERT_EQ(utiSetPropertyAsStr(&thirteen.handle, "LogDirectory", "c"), 0u);
  ASSERT_EQ(open(root, ""), 0u);
  EXPECT_EQ(utiRemovePropertyRoot(&root.handle, "12"), 0u);
  EXPECT_EQ(utiRemovePropertyRoot(&root.handle, "12"), 8u);

  const uint32_t reopened = open(after, "12");
  EXPECT_EQ(reopened, registry() ? 2u : 0u);
  if (reopened == 0) {
    EXPECT_EQ(text_of(after, "LogDirectory") + text_of(after, "OIDNames"), "<3><3>");
  }
  EXPECT_EQ(text_of(thirteen, "LogDirectory"), "c");
}

TEST_P(BothBackends, EnumeratesEachSectionOnceThenNoMore) {
  for (const char* section : {"12", "13", "LOGSET\\Default"}) {
    Store store;
    const std::string name =
        registry() ? section : (section[0] == 'L' ? "LOGSET.Default" : section);
    ASSERT_EQ(create(store, name), 0u);
    ASSERT_EQ(utiSetPropertyAsStr(&store.handle, "FileName", "f"), 0u);
  }
  Store sections, logsets, small;
  ASSERT_EQ(open(sections, ""), 0u);
  EXPECT_EQ(names_of(sections, utiEnumProductId),
            (std::vector<std::string>{"12", "13", "LOGSET", "<7>"}));
  ASSERT_EQ(open(logsets, registry() ? "LOGSET" : ""), 0u);
  EXPECT_EQ(names_of(logsets, utiEnumLogsetForProductId),
            (std::vector<std::string>{"Default", "<7>"}));
  ASSERT_EQ(open(small, ""), 0u);
  char buffer[2] = "";
  uint32_t length = sizeof buffer;
  EXPECT_EQ(utiEnumProductId(&small.handle, 0, buffer, &length), 6u);
}

// One refusal per family of calls; CreatePropertyString has codes of its own.
TEST_P(BothBackends, MissingArgumentsAreRefused) {
  Store store;
  ASSERT_EQ(create(store, "12"), 0u);
  char* value = nullptr;
  uint32_t length = 8;
  EXPECT_EQ(utiOpenPropertyStore(nullptr, "12", &store.handle, 1), 1u);
  EXPECT_EQ(utiGetPropertyAsStr(&store.handle, nullptr, &value), 1u);
  EXPECT_EQ(utiSetPropertyAsStr(&store.handle, "x", nullptr), 1u);
  EXPECT_EQ(utiRemovePropertyRoot(nullptr, "12"), 1u);
  EXPECT_EQ(utiEnumProductId(&store.handle, 0, nullptr, &length), 1u);
  EXPECT_EQ(CreatePropertyString(location().c_str(), "12", nullptr), 3u);
  Store unopened;
  EXPECT_EQ(CreatePropertyString(nullptr, "12", &unopened.handle), 6u);
  EXPECT_EQ(utiClosePropertyStore(&store.handle), 0u);
  EXPECT_EQ(utiClosePropertyStore(&store.handle), 0u);
}

TEST_P(BothBackends, DifferencesSideBySide) {
  Store store;
  ASSERT_EQ(create(store, "12"), 0u);
  const auto either = [this](const char* in_registry, const char* in_file) {
    return std::string(registry() ? in_registry : in_file);
  };
  uint32_t flag = 9;
  utiSetPropertyAsStr(&store.handle, "LogToStdout", "TRUE");
  EXPECT_EQ(xoltlog::store_get_bool(&store.handle, "LogToStdout", &flag), 0u);
  EXPECT_EQ(std::to_string(flag), either("1", "0")) << "true in capitals";
  utiSetPropertyAsStr(&store.handle, "OIDNames", "a b  ");
  EXPECT_EQ(text_of(store, "OIDNames"), either("a b  ", "a b")) << "trailing blanks";
  const uint32_t all = 4294967295u;
  xoltlog::store_set_number(&store.handle, "NumberOfLogFiles", &all);
  EXPECT_EQ(text_of(store, "NumberOfLogFiles"), either("<3>", "-1")) << "a number read as text";
  EXPECT_EQ(std::to_string(utiRemoveProperty(&store.handle, "Missing")), either("6", "0"));
}

// Each allocation of a set in turn fails: the set gives the result of a
// failed conversion (3) or write (6), and the old value stays.
TEST_P(BothBackends, RunningOutOfMemoryAnywhereInASetGivesItsFailure) {
  Store store;
  ASSERT_EQ(create(store, "12"), 0u);
  const int runs = xoltlog::test::for_each_allocation_fault(
      [&](long) {
        EXPECT_EQ(utiSetPropertyAsStr(&store.handle, "Name", "old"), 0u);
        auto writer = std::make_unique<Store>();
        EXPECT_EQ(open(*writer, "12"), 0u);
        return writer;
      },
      [](std::unique_ptr<Store>& writer) {
        return utiSetPropertyAsStr(&writer->handle, "Name", "new");
      },
      [&](long allowed, std::unique_ptr<Store>&, uint32_t result) {
        const std::string now = text_of(store, "Name");
        // 3: the value's conversion to UTF-8 had no memory; 6: the rewrite.
        EXPECT_TRUE(((result == 3u || result == 6u) && now == "old") ||
                    (result == 0u && now == "new"))
            << allowed << ": " << result << " " << now;
      });
  EXPECT_GE(runs, 4);
  EXPECT_EQ(text_of(store, "Name"), "new");
}

// A registry handle opened for reading refuses each change with the result
// of a refused write: 3 for a set, 6 for a removal, whichever key the
// removal names.
TEST(RegistryStore, AHandleOpenedForReadingChangesNothing) {
  xoltlog::test::TempDir root;
  setenv("XOLTLOG_REGISTRY_ROOT", root.path().c_str(), 1);
  Store product_a, product_b, below_b, reader;
  ASSERT_EQ(CreatePropertyString("SOFTWARE\\Vendor", "ProductA", &product_a.handle), 0u);
  ASSERT_EQ(CreatePropertyString("SOFTWARE\\Vendor", "ProductB", &product_b.handle), 0u);
  ASSERT_EQ(CreatePropertyString("SOFTWARE\\Vendor\\ProductB", "Sub", &below_b.handle), 0u);
  ASSERT_EQ(utiSetPropertyAsStr(&product_a.handle, "Name", "a"), 0u);
  ASSERT_EQ(utiSetPropertyAsStr(&product_b.handle, "Name", "b"), 0u);
  const std::string store_file = root.file("other.conf");
  std::ofstream(store_file) << "12.Name=c\n";

  ASSERT_EQ(utiOpenPropertyStore("SOFTWARE\\Vendor", "ProductB", &reader.handle, 0), 0u);
  XoltLogPropertyStore* handle = &reader.handle;
  const uint32_t number = 7;
  const struct { const char* change; uint32_t result; std::function<uint32_t()> call; } changes[] = {
      {"set text", 3, [&] { return utiSetPropertyAsStr(handle, "Name", "x"); }},
      {"set number", 3, [&] { return xoltlog::store_set_number(handle, "Name", &number); }},
      {"set flag", 3, [&] { return xoltlog::store_set_bool(handle, "Name", &number); }},
      {"remove value", 6, [&] { return utiRemoveProperty(handle, "Name"); }},
      {"remove subkey", 6, [&] { return utiRemovePropertyRoot(handle, "Sub"); }},
      {"remove key path", 6,
       [&] { return utiRemovePropertyRoot(handle, "SOFTWARE\\Vendor\\ProductA"); }},
      {"remove store file", 6, [&] { return utiRemovePropertyRoot(handle, store_file.c_str()); }},
  };
  for (const auto& c : changes) {
    EXPECT_EQ(c.call(), c.result) << c.change;
  }
  Store still_below;
  EXPECT_EQ(text_of(product_a, "Name") + text_of(product_b, "Name"), "ab");
  EXPECT_EQ(utiOpenPropertyStore("SOFTWARE\\Vendor\\ProductB", "Sub", &still_below.handle, 0), 0u);
  EXPECT_EQ(xoltlog::test::read_file(store_file), "12.Name=c\n");
  unsetenv("XOLTLOG_REGISTRY_ROOT");
}

}  // namespace
