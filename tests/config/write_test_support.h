// Stores for the configuration writer tests: the registry stand-in or a
// store file below a temporary directory, records with their initial
// values, and one view of a section for both backends.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/record.h"
#include "config/store_layout.h"
#include "config/store_test_support.h"
#include "config/store_typed.h"
#include "support/temp_dir.h"
#include "xoltlog/config_write.h"

namespace xoltlog::test {

struct Record {
  XoltLogCfg cfg{};
  explicit Record(std::uint32_t product, std::uint32_t originator = XOLTLOG_DEFAULT_ORIGINATOR,
                  const char* logset = nullptr) {
    const LibraryLockGuard held("test");
    init_config(held, &cfg, product, originator, logset);
  }
  ~Record() { xoltLogFreeCfg(&cfg); }
};

// Every key a section may hold, in the order the writers write them.
inline constexpr const char* kAllKeys[] = {
    "LogDirectory", "OIDNames", "L10nLib", "L10nResource", "L10nResourceDir", "DebugLevel",
    "DiagnosticLevel", "DynaReloadInSec", "LogToStdout", "LogToStderr", "LogToOslog",
    "RolloverMode", "LogRecycle", "MaxLogFileSizeKB", "RolloverAtLocalTime",
    "RolloverPeriodInSeconds", "NumberOfLogFiles", "AppMsgLogging", "OIDAppMsgLogging",
    "OIDDebugLogging", "OIDDiagLogging", "FileName", "NtEventLogSourceName",
    "NtEventLogCategory", "LogFileSDDL", "Configuration", "Names"};

// "Key=value; ..." of the keys the section holds, values as the store file
// writes them (a registry number as signed decimal); "<result>" when the
// section cannot be opened.
inline std::string section_view(const std::string& location, const std::string& section) {
  Store store;
  if (const std::uint32_t opened =
          utiOpenPropertyStore(location.c_str(), section.c_str(), &store.handle, 0)) {
    return "<" + std::to_string(opened) + ">";
  }
  std::string view;
  for (const char* key : kAllKeys) {
    std::string value = text_of(store, key);
    std::uint32_t number = 0;
    if (value == "<3>" && store_get_number(&store.handle, key, &number) != 0) {
      continue;
    }
    if (value == "<3>") {
      value = std::to_string(static_cast<std::int32_t>(number));
    }
    view += (view.empty() ? "" : "; ") + std::string(key) + "=" + value;
  }
  return view;
}

enum class Backend { kRegistry, kFile };

inline std::string backend_name(const ::testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::kRegistry ? "Registry" : "File";
}

// The registry stand-in below a temporary directory and, for the file
// backend, a store file there named by XOLTLOG_CFG_LOC. The cached store
// location is forgotten before and after, so each case sees its own.
class WriteStore : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    setenv("XOLTLOG_REGISTRY_ROOT", root_.path().c_str(), 1);
    if (registry()) {
      unsetenv("XOLTLOG_CFG_LOC");
    } else {
      setenv("XOLTLOG_CFG_LOC", registration().c_str(), 1);
    }
    forget_store_location();
  }
  void TearDown() override {
    unsetenv("XOLTLOG_REGISTRY_ROOT");
    unsetenv("XOLTLOG_CFG_LOC");
    forget_store_location();
  }

  bool registry() const { return GetParam() == Backend::kRegistry; }
  std::string registration() const {
    return registry() ? kDefaultStoreLocation : root_.file("etc/xoltlog.conf");
  }
  // Where the sections of a product are kept.
  std::string location(std::uint32_t product) const {
    const std::string name = "p" + std::to_string(product);
    return registry() ? "SOFTWARE\\KESTRAN\\" + name : root_.file("etc/" + name + ".conf");
  }
  std::uint32_t add_product(std::uint32_t product) const {
    return xoltLogAddProductCfg(product, "p,Product", location(product).c_str());
  }
  std::string section(std::uint32_t product, const std::string& name) const {
    return section_view(location(product), name);
  }
  std::string logset(std::uint32_t product, const std::string& name) const {
    return registry() ? section(product, "LOGSET\\" + name) : section(product, "LOGSET." + name);
  }
  std::string registration_view(std::uint32_t product) const {
    return section_view(registration(), std::to_string(product));
  }

  TempDir root_;
};

}  // namespace xoltlog::test
