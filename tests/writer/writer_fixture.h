// A file writer under test: handles connected to writers over a temporary
// directory, a clock the test sets, a fixed zone and a fixed host address
// (10.1.2.3, so ordinary names carry 50462986). The fixed host and zone
// also serve the tests that find and read log files.
#pragma once

#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netdb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "config/record.h"
#include "platform/host_address.h"
#include "support/fake_clock.h"
#include "support/syscall_override.h"
#include "support/temp_dir.h"
#include "support/time_zone.h"
#include "writer/file_writer.h"
#include "xoltlog/frame.h"
#include "xoltlog/writer.h"

namespace xoltlog::test {

inline constexpr const char* kHostNumber = "50462986";

// A local time as seconds since 1970 in the current zone.
inline std::int64_t local_time(int year, int month, int day, int hour, int minute, int second = 0) {
  std::tm t{second, minute, hour, day, month - 1, year - 1900, 0, 0, -1, 0, nullptr};
  return static_cast<std::int64_t>(std::mktime(&t));
}

// The name of this host's ordinary file: date "yymmdd", counter.
inline std::string ordinary_name(unsigned product, unsigned originator, const std::string& date,
                                 unsigned counter) {
  char name[80];
  std::snprintf(name, sizeof name, "%u-%u-%s-%s-%010u.log", product, originator, kHostNumber,
                date.c_str(), counter);
  return name;
}

// While it lives, this host is "alpha" and resolves to 10.1.2.3, whatever
// machine runs the test; lookups counts the resolver's questions. The host
// number kept from before is dropped on the way in and out.
struct FixedHost : SyscallOverride {
  FixedHost() {
    platform::forget_host_address();
    lookups = 0;
    table().gethostname = [](char* name, size_t size) {
      return std::strncpy(name, "alpha", size), 0;
    };
    table().getaddrinfo = [](const char*, const char*, const addrinfo*, addrinfo** out) {
      ++lookups;
      static sockaddr_in address{AF_INET, 0, {htonl(0x0A010203)}, {}};
      static addrinfo entry{0,       AF_INET,        0,
                            0,       sizeof address, reinterpret_cast<sockaddr*>(&address),
                            nullptr, nullptr};
      *out = &entry;
      return 0;
    };
    table().freeaddrinfo = [](addrinfo*) {};
  }
  ~FixedHost() { platform::forget_host_address(); }
  FixedHost(const FixedHost&) = delete;
  FixedHost& operator=(const FixedHost&) = delete;

  static inline int lookups = 0;
};

// While it lives, local times are Central European, whatever the machine's.
struct CentralEuropeanTime : ScopedTimeZone {
  CentralEuropeanTime() : ScopedTimeZone(kCentralEurope) {}
};

// An application message of text through the handle's writer.
inline std::uint32_t write_record(XoltLogHandle& handle, const std::string& text) {
  XoltLogMsg msg;
  xoltLogInitMsg(&msg, &handle, XOLTLOG_MSG_APP, text.c_str());
  xoltLogSetAppAttrEx(&msg, "test", 0);
  const std::uint32_t result = xoltLogWriteMsgWithRolloverToFile(handle.file_writer, &msg);
  xoltLogFreeMsg(&msg);
  return result;
}

// Closes the handle's writer, if any, and frees the configuration it holds.
inline std::uint32_t close_handle(XoltLogHandle& handle) {
  const std::uint32_t result = handle.file_writer != nullptr ? xoltLogCloseFile(&handle) : 0;
  if (handle.config != nullptr) {
    xoltLogFreeCfg(handle.config);
    xoltLogFree(handle.config);
    handle.config = nullptr;
  }
  return result;
}

class WriterTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (auto& handle : handles_) close(*handle);
  }

  XoltLogCfg config(std::uint32_t product, std::uint32_t originator, std::uint32_t mode = 0,
                    const char* logset = nullptr) {
    XoltLogCfg cfg;
    init_config(LibraryLockGuard("WriterTest::config()"), &cfg, product, originator, logset);
    xoltLogCfgSetDirectory(&cfg, dir_.path().c_str(), nullptr);
    cfg.rollover_mode = mode;
    return cfg;
  }

  // A handle with a fresh writer of its own, connected by cfg.
  XoltLogHandle& open(const XoltLogCfg& cfg, std::uint32_t* result = nullptr) {
    XoltLogHandle& handle = *handles_.emplace_back(std::make_unique<XoltLogHandle>());
    handle.file_writer = new_file_writer();
    const std::uint32_t opened = xoltLogOpenFile(&handle, &cfg, &cfg);
    EXPECT_TRUE(result != nullptr || opened == XOLTLOG_OK) << opened;
    if (result != nullptr) *result = opened;
    return handle;
  }

  std::uint32_t close(XoltLogHandle& handle) { return close_handle(handle); }
  static std::int64_t start_time(const XoltLogHandle& handle) {
    return writer_file_start_time(LibraryLockGuard("WriterTest::start_time()"),
                                  *handle.file_writer);
  }
  // Stamped by the fake clock.
  std::uint32_t write(XoltLogHandle& handle, const std::string& text) {
    return write_record(handle, text);
  }

  void create_file(const std::string& name, const std::string& text) const {
    std::ofstream(dir_.file(name), std::ios::binary) << text;
  }
  // The bare names of the directory's files, sorted; the hidden lock
  // region left out.
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      if (entry.path().filename().string()[0] != '.') names.push_back(entry.path().filename());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string content(const std::string& name) const { return read_file(dir_.file(name)); }
  std::vector<std::string> lines(const std::string& name) const {
    std::vector<std::string> result;
    std::istringstream in(content(name));
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
  }

  TempDir dir_;
  CentralEuropeanTime zone_;
  FakeClock clock_{local_time(2026, 3, 14, 10, 0), 0};
  FixedHost calls_;
  std::vector<std::unique_ptr<XoltLogHandle>> handles_;
};

}  // namespace xoltlog::test
