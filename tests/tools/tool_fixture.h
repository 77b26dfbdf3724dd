// A fresh configuration store for end-to-end runs of the tool, on either
// backend: a store file named by XOLTLOG_CFG_LOC, or the registry
// stand-in below a temporary root with XOLTLOG_CFG_LOC removed. Nothing
// is registered; tests start from nothing.
#pragma once

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "tools/run_tool.h"

namespace xoltlog::test {

enum class ToolBackend { kStoreFile, kRegistry };

inline std::string backend_name(const ::testing::TestParamInfo<ToolBackend>& info) {
  return info.param == ToolBackend::kStoreFile ? "StoreFile" : "Registry";
}

class ToolStore : public ::testing::TestWithParam<ToolBackend> {
 protected:
  void SetUp() override {
    ASSERT_EQ(mkdir(root_.file("registry").c_str(), 0700), 0);
    ASSERT_EQ(mkdir(logs().c_str(), 0700), 0);
  }

  bool store_file() const { return GetParam() == ToolBackend::kStoreFile; }
  std::string logs() const { return root_.file("logs"); }
  std::string store_path() const { return root_.file("etc/xoltlog.conf"); }

  ToolEnv env() const {
    ToolEnv variables{{"XOLTLOG_REGISTRY_ROOT", root_.file("registry")}};
    if (store_file()) {
      variables.emplace_back("XOLTLOG_CFG_LOC", store_path());
    } else {
      variables.emplace_back("XOLTLOG_CFG_LOC", std::nullopt);
    }
    return variables;
  }

  ToolRun run(const std::vector<std::string>& args, const std::string& input = {}) const {
    return run_tool(args, env(), input);
  }

  // Registers product 4711 ("crm,CRM Server") logging into logs().
  void register_product() const {
    const ToolRun done =
        run({"config", "register", "4711", "crm,CRM Server", "--log-dir", logs()});
    ASSERT_EQ(done.exit_code, 0) << done.err;
  }

  // Every record line (header lines left out) of the log files below logs().
  std::vector<std::string> log_lines() const {
    std::vector<std::string> lines;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(logs())) {
      if (!entry.is_regular_file() || entry.path().extension() != ".log") continue;
      std::ifstream in(entry.path());
      for (std::string line; std::getline(in, line);) {
        if (line.rfind("$Header", 0) != 0) lines.push_back(line);
      }
    }
    return lines;
  }

  TempDir root_;
};

}  // namespace xoltlog::test
