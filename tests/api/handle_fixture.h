// A configuration store below a temporary directory, either a store file
// named by XOLTLOG_CFG_LOC or the registry stand-in, with one registered
// product whose "Default" section names a log directory; and the record
// lines written there, split at their numeric header.
#pragma once

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "config/record.h"
#include "config/store_layout.h"
#include "support/temp_dir.h"
#include "xoltlog/config_write.h"
#include "xoltlog/handle.h"

namespace xoltlog::test {

struct InitialRecord {
  XoltLogCfg cfg{};
  InitialRecord(std::uint32_t product, std::uint32_t originator) {
    const LibraryLockGuard held("test");
    init_config(held, &cfg, product, originator, nullptr);
  }
  ~InitialRecord() { xoltLogFreeCfg(&cfg); }
};

// Keys a case writes into an originator's section; negative ones are not.
struct SectionValues {
  int debug_level = -1;
  int reload_interval = -1;
  int flags = -1;
};

// One record line: the numbers of version 65543's header, then the rest
// (context token, text, the type's part) as written.
struct Record {
  std::vector<std::string> numbers;
  std::string rest;
  std::uint32_t number(std::size_t field) const {
    return static_cast<std::uint32_t>(std::stoul(numbers.at(field)));
  }
  std::uint32_t type() const { return number(0); }
  std::uint32_t sequence() const { return number(4); }
};

enum class Backend { kFile, kRegistry };

inline constexpr std::uint32_t kProduct = 4711;

class HandleStore : public ::testing::Test {
 protected:
  explicit HandleStore(Backend backend = Backend::kFile) : backend_(backend) {}

  void SetUp() override {
    mkdir(root_.file("etc").c_str(), 0700);
    mkdir(logs().c_str(), 0700);
    setenv("XOLTLOG_REGISTRY_ROOT", root_.path().c_str(), 1);
    const bool file = backend_ == Backend::kFile;
    if (file) {
      setenv("XOLTLOG_CFG_LOC", root_.file("etc/xoltlog.conf").c_str(), 1);
    } else {
      unsetenv("XOLTLOG_CFG_LOC");
    }
    forget_store_location();
    const std::string location = file ? root_.file("etc/p.conf") : "SOFTWARE\\KESTRAN\\p4711";
    ASSERT_EQ(xoltLogAddProductCfg(kProduct, "p,Product", location.c_str()), 0u);
    InitialRecord defaults(kProduct, XOLTLOG_DEFAULT_ORIGINATOR);
    ASSERT_EQ(xoltLogCfgSetDirectory(&defaults.cfg, (logs() + "/").c_str(), nullptr), 0u);
    ASSERT_EQ(xoltLogWriteCfg(kProduct, XOLTLOG_DEFAULT_ORIGINATOR, &defaults.cfg), 0u);
    // The sections went where the backend keeps them.
    ASSERT_EQ(std::filesystem::exists(root_.file(file ? "etc/p.conf" : "SOFTWARE/KESTRAN/p4711")),
              true);
  }
  void TearDown() override {
    unsetenv("XOLTLOG_REGISTRY_ROOT");
    unsetenv("XOLTLOG_CFG_LOC");
    forget_store_location();
  }

  static void write_section(std::uint32_t originator, const SectionValues& values) {
    InitialRecord record(kProduct, originator);
    const auto level = static_cast<std::uint32_t>(values.debug_level);
    if (values.debug_level >= 0) xoltLogCfgSetDebugLevel(&record.cfg, level);
    if (values.reload_interval >= 0) xoltLogCfgSetDynaSetting(&record.cfg, values.reload_interval);
    if (values.flags >= 0) xoltLogCfgSetFlags(&record.cfg, values.flags);
    ASSERT_EQ(xoltLogWriteCfg(kProduct, originator, &record.cfg), 0u);
  }

  std::string logs() const { return root_.file("logs"); }

  // The record lines of every log file that mention marker.
  std::vector<Record> records(const std::string& marker = {}) const {
    std::vector<Record> found;
    for (const auto& entry : std::filesystem::directory_iterator(logs())) {
      if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.') continue;
      std::ifstream in(entry.path());
      std::string line;
      std::getline(in, line);  // the header
      while (std::getline(in, line)) {
        if (line.find(marker) != std::string::npos) found.push_back(split(line));
      }
    }
    return found;
  }

  std::optional<Record> only_record(const std::string& marker) const {
    const std::vector<Record> found = records(marker);
    EXPECT_LE(found.size(), 1u) << marker;
    return found.empty() ? std::nullopt : std::optional<Record>(found.front());
  }

  static Record split(const std::string& line) {
    Record record;
    std::size_t start = 0;
    for (int field = 0; field < 8 && start <= line.size(); ++field) {
      const std::size_t comma = std::min(line.find(',', start), line.size());
      record.numbers.push_back(line.substr(start, comma - start));
      start = comma + 1;
    }
    record.rest = start <= line.size() ? line.substr(start) : std::string();
    return record;
  }

  Backend backend_;
  TempDir root_;
};

// The same cases against either backend of the store.
class BothStores : public HandleStore, public ::testing::WithParamInterface<Backend> {
 protected:
  BothStores() : HandleStore(GetParam()) {}
};

inline std::string backend_name(const ::testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::kFile ? "File" : "Registry";
}

#define XOLTLOG_BOTH_STORES(fixture)                                                          \
  INSTANTIATE_TEST_SUITE_P(Stores, fixture,                                                  \
                           ::testing::Values(Backend::kFile, Backend::kRegistry), backend_name)

// Closed at the end of a case, whatever the case found.
struct OpenHandle {
  XoltLogHandle handle{};
  ~OpenHandle() { xoltLogClose(&handle); }
};

}  // namespace xoltlog::test
