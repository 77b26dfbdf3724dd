#include <gtest/gtest.h>

#include <string>

#include "platform/shared_lib.h"
#include "xoltlog/config.h"
#include "xoltlog/frame.h"
#include "xoltlog/shared_lib.h"

namespace {

std::string file_name_of(const char* name) {
  xoltlog::BlockPtr<char> built = xoltlog::platform::library_file_name(name);
  return built ? std::string(built.get()) : std::string("(null)");
}

TEST(LibraryFileName, VersionAndExtensionReplaceWhatTheBaseCarried) {
  const std::pair<const char*, const char*> cases[] = {
      {"xoltLogFormatMsg", "xoltLogFormatMsg_3.so"},
      {"xoltLogFormatMsg_2.so", "xoltLogFormatMsg_3.so"},
      {"/opt/lib/name.so", "/opt/lib/name_3.so"},
      {"/opt/old.lib/name", "/opt/old.lib/name_3.so"},
      {"/opt/a_b/c.d_e", "/opt/a_b/c_3.so"},
      {"", "_3.so"},
  };
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(file_name_of(name), expected) << name;
  }
  EXPECT_EQ(file_name_of(nullptr), "(null)");
}

TEST(LibraryFileName, ConfigurationHandsOutTheBuiltName) {
  XoltLogCfg cfg{};
  char* name = reinterpret_cast<char*>(1);
  EXPECT_EQ(xoltLogCfgGetL10nLib(&cfg, &name), XOLTLOG_OK);
  EXPECT_EQ(name, nullptr);
  ASSERT_EQ(xoltLogCfgSetL10nLib(&cfg, "/usr/lib/xolt/l10nStrings_1.so"), XOLTLOG_OK);
  ASSERT_EQ(xoltLogCfgGetL10nLib(&cfg, &name), XOLTLOG_OK);
  EXPECT_STREQ(name, "/usr/lib/xolt/l10nStrings_3.so");
  xoltLogFree(name);
  xoltLogFreeCfg(&cfg);
}

TEST(SharedLib, LoadsByBareNameBesideTheLibraryAndResolves) {
  void* module = nullptr;
  char* file_name = nullptr;
  ASSERT_EQ(SharedLibLoad(&module, "xoltLogTestProbe", &file_name), 0);
  ASSERT_NE(module, nullptr);
  EXPECT_STREQ(file_name, "xoltLogTestProbe_3.so");
  xoltLogFree(file_name);

  void* address = nullptr;
  ASSERT_EQ(SharedLibResolveFunc(module, "xoltLogTestProbeAnswer", &address), 0);
  ASSERT_NE(address, nullptr);
  auto* answer = reinterpret_cast<int32_t (*)(int32_t)>(address);
  EXPECT_EQ(answer(20), 41);
  EXPECT_EQ(SharedLibResolveFunc(module, "noSuchFunction", &address), 0);
  EXPECT_EQ(address, nullptr);
  EXPECT_EQ(SharedLibResolveFunc(module, "", &address), -2);
  EXPECT_EQ(SharedLibResolveFunc(nullptr, "x", &address), -2);
  EXPECT_EQ(SharedLibUnload(module), 0);
  EXPECT_EQ(SharedLibUnload(nullptr), -2);
}

TEST(SharedLib, FailedLoadsLeaveNothingBehind) {
  void* module = reinterpret_cast<void*>(1);
  char* file_name = reinterpret_cast<char*>(1);
  EXPECT_EQ(SharedLibLoad(&module, "xoltLogNoSuchLibrary", &file_name), -2);
  EXPECT_EQ(module, nullptr);
  EXPECT_EQ(file_name, nullptr);
  EXPECT_EQ(SharedLibLoad(&module, "/nonexistent/dir/xoltLogTestProbe", nullptr), -2);
  EXPECT_EQ(SharedLibLoad(&module, nullptr, nullptr), -2);
}

}  // namespace
