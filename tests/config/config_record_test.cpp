#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/accessors.h"
#include "config/record.h"
#include "xoltlog/config.h"
#include "xoltlog/frame.h"

namespace {

struct Cfg {
  Cfg() { xoltlog::init_config(xoltlog::LibraryLockGuard("Cfg"), &cfg, 12, 100, nullptr); }
  ~Cfg() { xoltLogFreeCfg(&cfg); }
  XoltLogCfg* operator->() { return &cfg; }
  XoltLogCfg cfg;
};

std::string take(char* text) {
  std::string copy = text == nullptr ? "(null)" : text;
  xoltLogFree(text);
  return copy;
}

// Each setter marks its own change bit; a value it refuses (R) and a missing
// record change nothing.
TEST(ConfigSetters, EachChangeMarksItsBitAndRefusedOnesChangeNothing) {
  constexpr bool R = true;
  const struct {
    uint32_t (*set)(XoltLogCfg*, bool valid);
    uint32_t mask;
    bool refuses = false;
  } cases[] = {
      {[](auto* c, bool v) { return xoltLogCfgSetDebugLevel(c, v ? 6 : 7); }, 0x20, R},
      {[](auto* c, bool v) { return xoltLogCfgSetDiagLevel(c, v ? 0 : 7); }, 0x40, R},
      {[](auto* c, bool v) { return xoltLogCfgSetDynaSetting(c, v ? 0 : -1); }, 0x4000000, R},
      {[](auto* c, bool v) { return xoltLogCfgSetMaxFileSize(c, v ? 1 : 0); }, 0x800, R},
      {[](auto* c, bool v) { return xoltLogCfgSetNumberOfLogFiles(c, v ? 3 : 0); }, 0x4000, R},
      {[](auto* c, bool v) { return xoltLogCfgSetRolloverMode(c, v ? 5 : 6); }, 0x400, R},
      {[](auto* c, bool v) { return xoltLogCfgSetRolloverPeriod(c, v ? 60 : 0); }, 0x2000, R},
      {[](auto* c, bool) { return xoltLogCfgSetRolloverTime(c, -5); }, 0x1000},
      {[](auto* c, bool v) { return xoltLogCfgSetNtEventCategory(c, v ? 9 : 0); }, 0x10000, R},
      {[](auto* c, bool v) { return xoltLogCfgSetNtEventSource(c, v ? "svc" : ""); }, 0x8000, R},
      {[](auto* c, bool v) { return xoltLogCfgSetDirectory(c, v ? "/l" : "", nullptr); }, 0x1, R},
      {[](auto* c, bool v) { return xoltLogCfgSetL10nLib(c, v ? "lib" : ""); }, 0x4, R},
      {[](auto* c, bool v) { return xoltLogCfgSetL10nResource(c, v ? "r" : nullptr); }, 0x8, R},
      {[](auto* c, bool) { return xoltLogCfgSetL10nResourceDir(c, "d"); }, 0x10},
      {[](auto* c, bool) { return xoltLogCfgSetLogsetFilename(c, "f"); }, 0x8000000},
      {[](auto* c, bool) { return xoltLogCfgSetLogsetOIDappMsgLogging(c, "1"); }, 0x10000000},
      {[](auto* c, bool) { return xoltLogCfgSetLogsetOIDDebugLogging(c, "1"); }, 0x20000000},
      {[](auto* c, bool) { return xoltLogCfgSetLogsetOIDDiagLogging(c, "1"); }, 0x40000000},
      {[](auto* c, bool) { return xoltLogCfgSetLogFileSDDL(c, ""); }, 0x20000},
      {[](auto* c, bool) { return xoltLogCfgSetPrevConfModTime(c, 7); }, 0},
      {[](auto* c, bool) { return xoltLogCfgEnableLogToStdout(c); }, 0x80},
      {[](auto* c, bool) { return xoltLogCfgDisableLogToStderr(c); }, 0x100},
      {[](auto* c, bool) { return xoltLogCfgEnableLogToOslog(c); }, 0x200},
      {[](auto* c, bool) { return xoltLogCfgEnableLogToOslogX(c); }, 0},
      {[](auto* c, bool) { return xoltLogCfgDisableLogRecycling(c); }, 0x1000000},
      {[](auto* c, bool) { return xoltLogCfgEnableAppMsgLogging(c); }, 0x7FFFFFFE},
      {[](auto* c, bool v) { return xoltLogCfgSetFlags(c, v ? 65 : -1); }, 0x380, R},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    Cfg valid, refused;
    EXPECT_EQ(cases[i].set(&valid.cfg, true), XOLTLOG_OK) << "case " << i;
    EXPECT_EQ(valid->change_mask, cases[i].mask) << "case " << i;
    EXPECT_EQ(cases[i].set(nullptr, true), XOLTLOG_E_INVALID_ARG) << "case " << i;
    if (cases[i].refuses) {
      const XoltLogCfg before = refused.cfg;
      EXPECT_EQ(cases[i].set(&refused.cfg, false), XOLTLOG_E_INVALID_ARG) << "case " << i;
      EXPECT_EQ(std::memcmp(&before, &refused.cfg, sizeof before), 0) << "case " << i;
    }
  }
  uint32_t value = 0;
  EXPECT_EQ(xoltLogCfgGetDebugLevel(nullptr, &value), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogFreeCfg(nullptr), XOLTLOG_E_INVALID_ARG);
}

// SetFlags takes the four output flags and clears those it is not given.
TEST(ConfigSetters, SwitchesAndFlags) {
  Cfg c;
  xoltLogCfgEnableLogToStderr(&c.cfg);
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
// handed out as copies; the event source is cut to fit its field.
TEST(ConfigGetters, HandOutCopiesAndDefaults) {
  Cfg c;
  ASSERT_EQ(xoltLogCfgSetL10nResourceDir(&c.cfg, "/first"), XOLTLOG_OK);
  ASSERT_EQ(xoltLogCfgSetL10nResourceDir(&c.cfg, "/second"), XOLTLOG_OK);
  ASSERT_EQ(xoltLogCfgSetNtEventSource(&c.cfg, std::string(100, 's').c_str()), XOLTLOG_OK);
  char* text = nullptr;
  ASSERT_EQ(xoltLogCfgGetL10nResourceDir(&c.cfg, &text), XOLTLOG_OK);
  EXPECT_NE(text, c->l10n_resource_dir);
  EXPECT_EQ(take(text), "/second");
  ASSERT_EQ(xoltLogCfgGetNtEventSource(&c.cfg, &text), XOLTLOG_OK);
  EXPECT_EQ(take(text), std::string(79, 's'));
  ASSERT_EQ(xoltLogCfgGetL10nResource(&c.cfg, &text), XOLTLOG_OK);
  EXPECT_EQ(take(text), "(null)");
  uint32_t size = 0;  // the other defaults show in the writer tests
  EXPECT_EQ(xoltLogCfgGetMaxFileSize(&c.cfg, &size), XOLTLOG_OK);
  EXPECT_EQ(size, 10240u);
  uint32_t files = 0;  // no limit: recycling must not delete anything by default
  EXPECT_EQ(xoltLogCfgGetNumberOfLogFiles(&c.cfg, &files), XOLTLOG_OK);
  EXPECT_EQ(files, 4294967295u);
}

TEST(ConfigDirectory, FoldsSeparatorsAndEndsWithOne) {
  const std::pair<const char*, const char*> cases[] = {
      {"/var/log", "/var/log/"}, {"/var/log/", "/var/log/"}, {"//var//log", "/var/log/"},
      {"/a///b", "/a//b/"},      {"rel", "rel/"}};
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

// A handle's copy carries what handles and writers use, its texts its own,
// and nothing else; freeing leaves every field zero.
TEST(ConfigCopy, CarriesSettingsButNotLogsetFieldsOrMasks) {
  const xoltlog::LibraryLockGuard held("ConfigCopy");
  XoltLogCfg source;
  ASSERT_EQ(xoltlog::init_config(held, &source, 12, 0, "set"), XOLTLOG_OK);
  xoltLogCfgSetDirectory(&source, "/logs", nullptr);
  xoltLogCfgSetL10nLib(&source, "lib");
  xoltLogCfgSetLogFileSDDL(&source, "D:");
  source.second_file_security = xoltLogSafeStrdup("second");
  xoltLogCfgSetLogsetOIDDebugLogging(&source, "1,2");
  xoltLogCfgEnableLogRecycling(&source);
  xoltLogCfgSetMaxFileSize(&source, 77);
  source.removal_mask = 0x20;
  XoltLogCfg copy;
  ASSERT_EQ(xoltlog::copy_config(held, &copy, &source), XOLTLOG_OK);
  xoltLogFreeCfg(&source);
  EXPECT_STREQ(copy.log_directory, "/logs/");
  EXPECT_STREQ(copy.l10n_lib, "lib");
  EXPECT_STREQ(copy.file_sddl, "D:");  // the files it creates get their security
  EXPECT_STREQ(copy.second_file_security, "second");
  EXPECT_EQ(copy.max_file_size_kb, 77u);
  EXPECT_EQ(copy.log_recycle | copy.logset_marker | copy.change_mask | copy.removal_mask, 0u);
  EXPECT_EQ(copy.logset_name, nullptr);
  EXPECT_EQ(copy.oid_debug_logging, nullptr);
  const XoltLogCfg zero{};
  ASSERT_EQ(xoltLogFreeCfg(&copy), XOLTLOG_OK);
  EXPECT_EQ(std::memcmp(&zero, &copy, sizeof zero), 0);
}

// The event source helpers start the setting afresh: category 0 and a name
// that stays terminated however long the given one is.
TEST(EventSourceSetting, StartsAfreshAndKeepsTheNameTerminated) {
  const xoltlog::LibraryLockGuard held("test");
  XoltLogEventSource setting;
  std::memset(&setting, 'z', sizeof setting);
  const std::string long_name(100, 'n');
  EXPECT_EQ(xoltlog::reset_event_source(held, setting, long_name.c_str()), 0);
  EXPECT_EQ(std::string(setting.name), long_name.substr(0, 79));
  EXPECT_EQ(setting.category, 0);

  setting.category = 5;
  EXPECT_EQ(xoltlog::reset_event_source(held, setting, nullptr), -3);
  EXPECT_EQ(setting.category, 5) << "a refused name changes nothing";

  EXPECT_EQ(xoltlog::reset_event_source(held, setting, "Short"), 0);
  EXPECT_EQ(std::memcmp(setting.name, "Short\0\0\0", 8), 0) << "the rest is zeroed";

  setting.category = 5;
  xoltlog::reset_event_source_to_default(held, setting);
  EXPECT_STREQ(setting.name, "Application");
  EXPECT_EQ(setting.category, 0);
}

TEST(FileSecurity, CopyAndFree) {
  const xoltlog::LibraryLockGuard held("FileSecurity");
  char* text = nullptr;
  EXPECT_EQ(xoltlog::copy_file_security(held, &text, nullptr), 0xFFFFFFFFu);
  ASSERT_EQ(xoltlog::copy_file_security(held, &text, "D:"), XOLTLOG_OK);
  EXPECT_STREQ(text, "D:");
  EXPECT_EQ(FreeFileSecuritySetting(&text), XOLTLOG_OK);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(FreeFileSecuritySetting(nullptr), 0xFFFFFFFFu);
}

// Every mode's text is written and read again by the configuration
// writer and reader tests; the exported pair appends behind what the
// buffer holds and takes a missing text as no mode.
TEST(RolloverModeText, AppendsToTheBufferAndReadsWhatItCan) {
  char buffer[256] = "Mode: ";
  EXPECT_STREQ(RolloverModeEnumToSettingString(2, buffer), "Mode:  | LocalTime");
  EXPECT_EQ(RolloverModeEnumToSettingString(1, nullptr), nullptr);
  EXPECT_EQ(SettingStringToRolloverModeEnum("LocalTime Periodic"), 2);
  EXPECT_EQ(SettingStringToRolloverModeEnum(nullptr), 0);
}

}  // namespace
