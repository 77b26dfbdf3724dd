// A file writer under test: handles connected to writers over a temporary
// directory, a clock the test sets, a fixed zone and a fixed host address
// (10.1.2.3, so ordinary names carry 50462986).
#pragma once

#include <gtest/gtest.h>
#include <netdb.h>
#include <netinet/in.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "config/record.h"
#include "support/fake_clock.h"
#include "support/syscall_override.h"
#include "support/temp_dir.h"
#include "writer/file_writer.h"
#include "xoltlog/access.h"
#include "xoltlog/frame.h"
#include "xoltlog/writer.h"

namespace xoltlog::test {

inline constexpr const char* kHostNumber = "50462986";

// Local time in the fixture's zone (CET), as seconds since 1970.
inline std::int64_t local_time(int year, int month, int day, int hour, int minute, int second = 0) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&t));
}

class WriterTest : public ::testing::Test {
 protected:
  WriterTest() : clock_(local_time(2026, 3, 14, 10, 0), 0) {}

  void SetUp() override {
    const char* zone = std::getenv("TZ");
    saved_zone_ = zone != nullptr ? zone : "";
    had_zone_ = zone != nullptr;
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    FakeClock::set(local_time(2026, 3, 14, 10, 0), 0);
    calls_.table().gethostname = [](char* name, size_t size) {
      std::strncpy(name, "alpha", size);
      return 0;
    };
    calls_.table().getaddrinfo = [](const char*, const char*, const addrinfo*, addrinfo** out) {
      static sockaddr_in address = [] {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        const unsigned char bytes[4] = {10, 1, 2, 3};
        std::memcpy(&a.sin_addr, bytes, 4);
        return a;
      }();
      static addrinfo entry = [] {
        addrinfo e{};
        e.ai_family = AF_INET;
        e.ai_addr = reinterpret_cast<sockaddr*>(&address);
        e.ai_addrlen = sizeof address;
        return e;
      }();
      *out = &entry;
      return 0;
    };
    calls_.table().freeaddrinfo = [](addrinfo*) {};
  }

  void TearDown() override {
    for (auto& handle : handles_) {
      close(*handle);
    }
    if (had_zone_) {
      setenv("TZ", saved_zone_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

  XoltLogCfg config(std::uint32_t product, std::uint32_t originator, std::uint32_t mode = 0,
                    const char* logset = nullptr) {
    XoltLogCfg cfg;
    init_config(&cfg, product, originator, logset);
    xoltLogCfgSetDirectory(&cfg, dir_.path().c_str(), nullptr);
    cfg.rollover_mode = mode;
    return cfg;
  }

  // A handle with a fresh writer of its own, connected by cfg.
  XoltLogHandle& open(const XoltLogCfg& cfg, std::uint32_t* result = nullptr) {
    handles_.push_back(std::make_unique<XoltLogHandle>());
    XoltLogHandle& handle = *handles_.back();
    handle.file_writer = new_file_writer();
    const std::uint32_t opened = xoltLogOpenFile(&handle, &cfg, &cfg);
    if (result != nullptr) {
      *result = opened;
    } else {
      EXPECT_EQ(opened, XOLTLOG_OK);
    }
    return handle;
  }

  std::uint32_t close(XoltLogHandle& handle) {
    std::uint32_t result = XOLTLOG_OK;
    if (handle.file_writer != nullptr) {
      result = xoltLogCloseFile(&handle);
    }
    if (handle.config != nullptr) {
      xoltLogFreeCfg(handle.config);
      xoltLogFree(handle.config);
      handle.config = nullptr;
    }
    return result;
  }

  // An application message of text, stamped by the fake clock.
  std::uint32_t write(XoltLogHandle& handle, const std::string& text) {
    XoltLogMsg msg;
    xoltLogInitMsg(&msg, &handle, XOLTLOG_MSG_APP, text.c_str());
    xoltLogSetAppAttrEx(&msg, "test", 0);
    const std::uint32_t result = xoltLogWriteMsgWithRolloverToFile(handle.file_writer, &msg);
    xoltLogFreeMsg(&msg);
    return result;
  }

  // The bare names of the directory's files, sorted.
  std::vector<std::string> files() const;
  std::string content(const std::string& name) const { return read_file(dir_.file(name)); }
  // The lines of a file.
  std::vector<std::string> lines(const std::string& name) const;

  TempDir dir_;
  FakeClock clock_;
  SyscallOverride calls_;
  std::vector<std::unique_ptr<XoltLogHandle>> handles_;
  std::string saved_zone_;
  bool had_zone_ = false;
};

}  // namespace xoltlog::test
