#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "config/record.h"
#include "xoltlog/config.h"
#include "xoltlog/frame.h"

namespace {

struct Cfg {
  Cfg() { xoltlog::init_config(&cfg, 12, 100, nullptr); }
  ~Cfg() { xoltLogFreeCfg(&cfg); }
  XoltLogCfg* operator->() { return &cfg; }
  XoltLogCfg cfg;
};

std::string take(char* text) {
  std::string copy = text == nullptr ? "(null)" : text;
  xoltLogFree(text);
  return copy;
}

TEST(ConfigRecord, InitialValues) {
  Cfg c;
  uint32_t value = 0;
  uint64_t period = 0;
  char* text = nullptr;
  EXPECT_EQ(xoltLogCfgGetRolloverMode(&c.cfg, &value), XOLTLOG_OK);
  EXPECT_EQ(value, 0u);
  EXPECT_EQ(xoltLogCfgGetMaxFileSize(&c.cfg, &value), XOLTLOG_OK);
  EXPECT_EQ(value, 10240u);
  EXPECT_EQ(xoltLogCfgGetNumberOfLogFiles(&c.cfg, &value), XOLTLOG_OK);
  EXPECT_EQ(value, 4294967295u);
  EXPECT_EQ(xoltLogCfgGetRolloverPeriod(&c.cfg, &period), XOLTLOG_OK);
  EXPECT_EQ(period, 43200u);
  EXPECT_EQ(xoltLogCfgGetNtEventSource(&c.cfg, &text), XOLTLOG_OK);
  EXPECT_EQ(take(text), "Application");
  EXPECT_EQ(xoltLogCfgGetL10nResource(&c.cfg, &text), XOLTLOG_OK);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(c->app_msg_logging, 1u);
  EXPECT_EQ(c->logset_marker, 0u);

  XoltLogCfg logset;
  ASSERT_EQ(xoltlog::init_config(&logset, 12, 0, "backup"), XOLTLOG_OK);
  EXPECT_EQ(logset.logset_marker, 1u);
  EXPECT_STREQ(logset.logset_name, "backup");
  EXPECT_STREQ(logset.logset_file_name, "backup");
  EXPECT_NE(logset.logset_name, logset.logset_file_name);
  xoltLogFreeCfg(&logset);
  EXPECT_EQ(xoltlog::init_config(nullptr, 1, 1, nullptr), XOLTLOG_E_INVALID_ARG);
}

// Each refused value leaves both the field and the change mask alone.
TEST(ConfigSetters, RefusedValuesChangeNothing) {
  const std::function<uint32_t(XoltLogCfg*)> refused[] = {
      [](XoltLogCfg* c) { return xoltLogCfgSetDebugLevel(c, 7); },
      [](XoltLogCfg* c) { return xoltLogCfgSetDiagLevel(c, 7); },
      [](XoltLogCfg* c) { return xoltLogCfgSetDynaSetting(c, -1); },
      [](XoltLogCfg* c) { return xoltLogCfgSetMaxFileSize(c, 0); },
      [](XoltLogCfg* c) { return xoltLogCfgSetNumberOfLogFiles(c, 0); },
      [](XoltLogCfg* c) { return xoltLogCfgSetRolloverMode(c, 6); },
      [](XoltLogCfg* c) { return xoltLogCfgSetRolloverPeriod(c, 0); },
      [](XoltLogCfg* c) { return xoltLogCfgSetNtEventCategory(c, 0); },
      [](XoltLogCfg* c) { return xoltLogCfgSetNtEventSource(c, ""); },
      [](XoltLogCfg* c) { return xoltLogCfgSetDirectory(c, "", nullptr); },
      [](XoltLogCfg* c) { return xoltLogCfgSetL10nLib(c, ""); },
      [](XoltLogCfg* c) { return xoltLogCfgSetL10nResource(c, nullptr); },
      [](XoltLogCfg* c) { return xoltLogCfgSetLogsetFilename(c, ""); },
      [](XoltLogCfg* c) { return xoltLogCfgSetLogsetOIDDiagLogging(c, ""); },
      [](XoltLogCfg* c) { return xoltLogCfgSetFlags(c, -1); },
  };
  for (std::size_t i = 0; i < std::size(refused); ++i) {
    Cfg c;
    const XoltLogCfg before = c.cfg;
    EXPECT_EQ(refused[i](&c.cfg), XOLTLOG_E_INVALID_ARG) << "case " << i;
    EXPECT_EQ(std::memcmp(&before, &c.cfg, sizeof before), 0) << "case " << i;
    EXPECT_EQ(refused[i](nullptr), XOLTLOG_E_INVALID_ARG) << "case " << i;
  }
  uint32_t value = 0;
  EXPECT_EQ(xoltLogCfgGetDebugLevel(nullptr, &value), XOLTLOG_E_INVALID_ARG);
  Cfg c;
  EXPECT_EQ(xoltLogCfgGetDebugLevel(&c.cfg, nullptr), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogCfgEnableLogToStdout(nullptr), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogFreeCfg(nullptr), XOLTLOG_E_INVALID_ARG);
}

TEST(ConfigSetters, EachChangeMarksItsBit) {
  struct Case {
    std::function<uint32_t(XoltLogCfg*)> change;
    uint32_t mask;
  };
  const Case cases[] = {
      {[](XoltLogCfg* c) { return xoltLogCfgSetDebugLevel(c, 6); }, 0x20},
      {[](XoltLogCfg* c) { return xoltLogCfgSetDiagLevel(c, 0); }, 0x40},
      {[](XoltLogCfg* c) { return xoltLogCfgSetDynaSetting(c, 0); }, 0x4000000},
      {[](XoltLogCfg* c) { return xoltLogCfgSetMaxFileSize(c, 1); }, 0x800},
      {[](XoltLogCfg* c) { return xoltLogCfgSetNumberOfLogFiles(c, 3); }, 0x4000},
      {[](XoltLogCfg* c) { return xoltLogCfgSetRolloverMode(c, 5); }, 0x400},
      {[](XoltLogCfg* c) { return xoltLogCfgSetRolloverPeriod(c, 60); }, 0x2000},
      {[](XoltLogCfg* c) { return xoltLogCfgSetRolloverTime(c, -5); }, 0x1000},
      {[](XoltLogCfg* c) { return xoltLogCfgSetNtEventCategory(c, 9); }, 0x10000},
      {[](XoltLogCfg* c) { return xoltLogCfgSetNtEventSource(c, "svc"); }, 0x8000},
      {[](XoltLogCfg* c) { return xoltLogCfgSetDirectory(c, "/var/log", nullptr); }, 0x1},
      {[](XoltLogCfg* c) { return xoltLogCfgSetL10nLib(c, "lib"); }, 0x4},
      {[](XoltLogCfg* c) { return xoltLogCfgSetL10nResource(c, "r"); }, 0x8},
      {[](XoltLogCfg* c) { return xoltLogCfgSetL10nResourceDir(c, "d"); }, 0x10},
      {[](XoltLogCfg* c) { return xoltLogCfgSetLogsetFilename(c, "f"); }, 0x8000000},
      {[](XoltLogCfg* c) { return xoltLogCfgSetLogsetOIDappMsgLogging(c, "1"); }, 0x10000000},
      {[](XoltLogCfg* c) { return xoltLogCfgSetLogsetOIDDebugLogging(c, "1"); }, 0x20000000},
      {[](XoltLogCfg* c) { return xoltLogCfgSetLogsetOIDDiagLogging(c, "1"); }, 0x40000000},
      {[](XoltLogCfg* c) { return xoltLogCfgSetLogFileSDDL(c, ""); }, 0x20000},
      {[](XoltLogCfg* c) { return xoltLogCfgSetPrevConfModTime(c, 7); }, 0},
      {[](XoltLogCfg* c) { return xoltLogCfgEnableLogToStdout(c); }, 0x80},
      {[](XoltLogCfg* c) { return xoltLogCfgDisableLogToStderr(c); }, 0x100},
      {[](XoltLogCfg* c) { return xoltLogCfgEnableLogToOslog(c); }, 0x200},
      {[](XoltLogCfg* c) { return xoltLogCfgEnableLogToOslogX(c); }, 0},
      {[](XoltLogCfg* c) { return xoltLogCfgDisableLogRecycling(c); }, 0x1000000},
      {[](XoltLogCfg* c) { return xoltLogCfgEnableAppMsgLogging(c); }, 0x7FFFFFFE},
      {[](XoltLogCfg* c) { return xoltLogCfgSetFlags(c, 65); }, 0x380},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    Cfg c;
    EXPECT_EQ(cases[i].change(&c.cfg), XOLTLOG_OK) << "case " << i;
    EXPECT_EQ(c->change_mask, cases[i].mask) << "case " << i;
  }
}

TEST(ConfigSetters, SwitchesAndFlags) {
  Cfg c;
  xoltLogCfgEnableLogToStderr(&c.cfg);
  xoltLogCfgEnableLogToOslog(&c.cfg);
  ASSERT_EQ(xoltLogCfgSetFlags(&c.cfg, 65 | 0x100), XOLTLOG_OK);
  EXPECT_EQ(c->flags, 0x41u);
  xoltLogCfgDisableLogToOslogX(&c.cfg);
  xoltLogCfgEnableLogRecycling(&c.cfg);
  xoltLogCfgDisableAppMsgLogging(&c.cfg);
  uint32_t flags = 0;
  EXPECT_EQ(xoltLogCfgGetFlags(&c.cfg, &flags), XOLTLOG_OK);
  EXPECT_EQ(flags, 0x1u);
  EXPECT_EQ(c->log_recycle, 1u);
  EXPECT_EQ(c->app_msg_logging, 0u);
}

// Owned texts are replaced (the old one freed: LeakSanitizer watches) and
// handed out as copies.
TEST(ConfigSetters, OwnedTextsAreReplacedAndCopiedOut) {
  Cfg c;
  ASSERT_EQ(xoltLogCfgSetL10nResourceDir(&c.cfg, "/first"), XOLTLOG_OK);
  ASSERT_EQ(xoltLogCfgSetL10nResourceDir(&c.cfg, "/second"), XOLTLOG_OK);
  char* text = nullptr;
  ASSERT_EQ(xoltLogCfgGetL10nResourceDir(&c.cfg, &text), XOLTLOG_OK);
  EXPECT_NE(text, c->l10n_resource_dir);
  EXPECT_EQ(take(text), "/second");
  ASSERT_EQ(xoltLogCfgSetLogFileSDDL(&c.cfg, "D:P(A;;GA;;;SY)"), XOLTLOG_OK);
  const std::pair<uint32_t (*)(const XoltLogCfg*, char**), const char*> getters[] = {
      {xoltLogCfgGetLogFileSDDL, "D:P(A;;GA;;;SY)"},
      {xoltLogCfgGetLogsetFilename, "(null)"},
      {xoltLogCfgGetLogsetOIDDebugLogging, "(null)"},
      {xoltLogCfgGetLogsetOIDDiagLogging, "(null)"},
      {xoltLogCfgGetLogsetOIDOIDappMsgLogging, "(null)"},
  };
  for (const auto& [get, expected] : getters) {
    EXPECT_EQ(get(&c.cfg, &text), XOLTLOG_OK);
    EXPECT_EQ(take(text), expected);
  }
}

TEST(ConfigDirectory, FoldsSeparatorsAndEndsWithOne) {
  const std::pair<const char*, const char*> cases[] = {
      {"/var/log", "/var/log/"},
      {"/var/log/", "/var/log/"},
      {"//var//log", "/var/log/"},
      {"/a///b", "/a//b/"},
      {"rel", "rel/"},
  };
  for (const auto& [given, stored] : cases) {
    Cfg c;
    ASSERT_EQ(xoltLogCfgSetDirectory(&c.cfg, given, nullptr), XOLTLOG_OK) << given;
    EXPECT_STREQ(c->log_directory, stored);
    char* copy = nullptr;
    EXPECT_EQ(xoltLogCfgGetDirectory(&c.cfg, &copy), XOLTLOG_OK);
    EXPECT_EQ(take(copy), stored);
  }
}

TEST(ConfigDirectory, AppendsAtADestinationAndNeverOverflows) {
  Cfg c;
  ASSERT_EQ(xoltLogCfgSetDirectory(&c.cfg, "/var/log", nullptr), XOLTLOG_OK);
  char* end = c->log_directory + std::strlen(c->log_directory);
  ASSERT_EQ(xoltLogCfgSetDirectory(&c.cfg, "product//12", end), XOLTLOG_OK);
  EXPECT_STREQ(c->log_directory, "/var/log/product/12/");

  const std::string fits(1023, 'a');  // with its separator: 1024 characters
  ASSERT_EQ(xoltLogCfgSetDirectory(&c.cfg, fits.c_str(), nullptr), XOLTLOG_OK);
  EXPECT_EQ(std::strlen(c->log_directory), 1024u);
  ASSERT_EQ(xoltLogCfgSetDirectory(&c.cfg, "/short", nullptr), XOLTLOG_OK);
  const XoltLogCfg before = c.cfg;
  EXPECT_EQ(xoltLogCfgSetDirectory(&c.cfg, (fits + "b").c_str(), nullptr),
            XOLTLOG_E_INVALID_ARG);
  end = c->log_directory + std::strlen(c->log_directory);
  EXPECT_EQ(xoltLogCfgSetDirectory(&c.cfg, fits.c_str(), end), XOLTLOG_E_INVALID_ARG);
  char outside[8];
  EXPECT_EQ(xoltLogCfgSetDirectory(&c.cfg, "x", outside), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(std::memcmp(&before, &c.cfg, sizeof before), 0);
}

TEST(ConfigSetters, EventSourceIsCutToFit) {
  Cfg c;
  const std::string long_name(100, 's');
  ASSERT_EQ(xoltLogCfgSetNtEventSource(&c.cfg, long_name.c_str()), XOLTLOG_OK);
  EXPECT_EQ(std::string(c->event_source), long_name.substr(0, 79));
}

// A copy carries what handles and writers use, and nothing else.
TEST(ConfigCopy, CarriesSettingsButNotLogsetFieldsOrMasks) {
  XoltLogCfg source;
  ASSERT_EQ(xoltlog::init_config(&source, 12, 0, "set"), XOLTLOG_OK);
  xoltLogCfgSetDirectory(&source, "/logs", nullptr);
  xoltLogCfgSetL10nLib(&source, "lib");
  xoltLogCfgSetLogFileSDDL(&source, "D:");
  xoltLogCfgSetLogsetOIDDebugLogging(&source, "1,2");
  xoltLogCfgEnableLogRecycling(&source);
  xoltLogCfgSetNtEventCategory(&source, 5);
  xoltLogCfgSetMaxFileSize(&source, 77);
  source.second_file_security = xoltLogSafeStrdup("second");
  source.secure_audit_level = 3;
  source.removal_mask = 0x20;
  XoltLogCfg copy;
  ASSERT_EQ(xoltlog::copy_config(&copy, &source), XOLTLOG_OK);
  EXPECT_STREQ(copy.log_directory, "/logs/");
  EXPECT_STREQ(copy.l10n_lib, "lib");
  EXPECT_NE(copy.l10n_lib, source.l10n_lib);
  EXPECT_STREQ(copy.file_sddl, "D:");
  EXPECT_STREQ(copy.second_file_security, "second");
  EXPECT_EQ(copy.max_file_size_kb, 77u);
  EXPECT_EQ(copy.log_recycle, 0u);
  EXPECT_EQ(copy.event_category, 0u);
  EXPECT_EQ(copy.secure_audit_level, 0u);
  EXPECT_EQ(copy.logset_name, nullptr);
  EXPECT_EQ(copy.logset_marker, 0u);
  EXPECT_EQ(copy.oid_debug_logging, nullptr);
  EXPECT_EQ(copy.change_mask | copy.removal_mask, 0u);
  xoltLogFreeCfg(&source);
  EXPECT_STREQ(copy.l10n_lib, "lib");
  xoltLogFreeCfg(&copy);
  EXPECT_EQ(xoltlog::copy_config(nullptr, &copy), XOLTLOG_E_INVALID_ARG);
}

TEST(ConfigRecord, FreeLeavesEveryFieldZero) {
  Cfg c;
  xoltLogCfgSetFlags(&c.cfg, 7);
  xoltLogCfgSetLogsetOIDappMsgLogging(&c.cfg, "x");
  XoltLogCfg zero{};
  ASSERT_EQ(xoltLogFreeCfg(&c.cfg), XOLTLOG_OK);
  EXPECT_EQ(std::memcmp(&zero, &c.cfg, sizeof zero), 0);
}

TEST(FileSecurity, CopyAndFree) {
  char* text = nullptr;
  EXPECT_EQ(xoltlog::copy_file_security(&text, nullptr), 0xFFFFFFFFu);
  EXPECT_EQ(xoltlog::copy_file_security(nullptr, "D:"), 0xFFFFFFFFu);
  ASSERT_EQ(xoltlog::copy_file_security(&text, "D:"), XOLTLOG_OK);
  EXPECT_STREQ(text, "D:");
  EXPECT_EQ(FreeFileSecuritySetting(&text), XOLTLOG_OK);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(FreeFileSecuritySetting(&text), XOLTLOG_OK);
  EXPECT_EQ(FreeFileSecuritySetting(nullptr), 0xFFFFFFFFu);
}

TEST(RolloverModeText, RoundTrips) {
  const std::pair<int32_t, const char*> cases[] = {
      {0, "None"}, {1, "FileSize"}, {2, "LocalTime"}, {3, "FileSize | LocalTime"},
      {4, "Periodic"}, {5, "FileSize | Periodic"},
  };
  for (const auto& [mode, text] : cases) {
    char buffer[256] = {};
    EXPECT_STREQ(RolloverModeEnumToSettingString(mode, buffer), text);
    EXPECT_EQ(SettingStringToRolloverModeEnum(text), mode);
  }
  char buffer[256] = "Mode: ";
  EXPECT_STREQ(RolloverModeEnumToSettingString(2, buffer), "Mode:  | LocalTime");
  EXPECT_EQ(SettingStringToRolloverModeEnum("LocalTime Periodic"), 2);
  EXPECT_EQ(SettingStringToRolloverModeEnum("filesize"), 0);
  EXPECT_EQ(SettingStringToRolloverModeEnum(nullptr), 0);
}

}  // namespace
