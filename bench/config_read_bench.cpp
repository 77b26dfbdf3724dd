// xoltLogReadCfg for one originator of a product with a "Default" section,
// ten originators and five logsets: the cost that every handle open (twice)
// and every dynamic reload pays. Once with registration and sections in the
// registry stand-in, once in store files.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "config/store_layout.h"
#include "config/store_typed.h"
#include "xoltlog/config_read.h"
#include "xoltlog/property_store.h"

namespace {

constexpr std::uint32_t kProduct = 12;
constexpr std::uint32_t kOriginator = 105;

class BenchStore {
 public:
  explicit BenchStore(bool files) {
    char pattern[] = "/tmp/xoltlog-config-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    dir_ = pattern;
    setenv("XOLTLOG_REGISTRY_ROOT", dir_.c_str(), 1);
    const std::string registration =
        files ? dir_ + "/etc/xoltlog.conf" : std::string("SOFTWARE\\KESTRAN\\xoltlog");
    if (files) {
      setenv("XOLTLOG_CFG_LOC", registration.c_str(), 1);
    } else {
      unsetenv("XOLTLOG_CFG_LOC");
    }
    xoltlog::forget_store_location();
    location_ = files ? dir_ + "/etc/product12.conf" : "SOFTWARE\\KESTRAN\\Products\\12";
    put(registration, "12", "Configuration", location_);
    put(registration, "12", "Names", "Prod,Product");
    fill();
  }
  ~BenchStore() {
    unsetenv("XOLTLOG_CFG_LOC");
    unsetenv("XOLTLOG_REGISTRY_ROOT");
    xoltlog::forget_store_location();
    std::filesystem::remove_all(dir_);
  }

 private:
  void fill() {
    put(location_, "Default", "LogDirectory", "/var/log/prod");
    put(location_, "Default", "OIDNames", "Main,Main service");
    put(location_, "Default", "RolloverMode", "FileSize | Periodic");
    put(location_, "Default", "RolloverAtLocalTime", "02:30");
    put(location_, "Default", "LogToStdout", "true");
    put_number(location_, "Default", "DebugLevel", 2);
    put_number(location_, "Default", "MaxLogFileSizeKB", 4096);
    put_number(location_, "Default", "NumberOfLogFiles", 10);
    for (std::uint32_t originator = 100; originator < 110; ++originator) {
      const std::string section = std::to_string(originator);
      put(location_, section, "LogDirectory", "o" + section);
      put(location_, section, "OIDNames", "Service " + section);
      put_number(location_, section, "DebugLevel", originator % 7);
      put_number(location_, section, "DynaReloadInSec", 60);
    }
    const std::string logsets = xoltlog::logset_root(location_);
    for (const char* logset : {"Default", "web", "batch", "audit", "jobs"}) {
      const std::string section = xoltlog::logset_store_section(location_, logset);
      put(logsets, section, "LogDirectory", logset);
      put(logsets, section, "FileName", std::string(logset) + "log");
      put_number(logsets, section, "DiagnosticLevel", 3);
    }
  }
  static void put(const std::string& location, const std::string& section, const char* key,
                  const std::string& value) {
    XoltLogPropertyStore store{};
    if (CreatePropertyString(location.c_str(), section.c_str(), &store) != 0 ||
        utiSetPropertyAsStr(&store, key, value.c_str()) != 0) {
      std::abort();
    }
    utiClosePropertyStore(&store);
  }
  static void put_number(const std::string& location, const std::string& section,
                         const char* key, std::uint32_t value) {
    XoltLogPropertyStore store{};
    if (CreatePropertyString(location.c_str(), section.c_str(), &store) != 0 ||
        xoltlog::store_set_number(&store, key, &value) != 0) {
      std::abort();
    }
    utiClosePropertyStore(&store);
  }

  std::string dir_;
  std::string location_;
};

void BM_ReadCfg(benchmark::State& state) {
  const BenchStore store(state.range(0) != 0);
  XoltLogCfg cfg{};
  for (auto _ : state) {
    if (xoltLogReadCfg(kProduct, kOriginator, &cfg) != 0) {
      state.SkipWithError("read failed");
      break;
    }
    benchmark::DoNotOptimize(cfg.debug_level);
    xoltLogFreeCfg(&cfg);
  }
  state.SetLabel(state.range(0) != 0 ? "store files" : "registry");
}
BENCHMARK(BM_ReadCfg)->Arg(0)->Arg(1);

}  // namespace
