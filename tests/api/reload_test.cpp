#include <gtest/gtest.h>

#include <array>

#include "api/handle_fixture.h"
#include "support/fake_clock.h"
#include "xoltlog/config.h"
#include "xoltlog/log.h"

namespace xoltlog::test {
namespace {

constexpr std::int64_t kOpenTime = 1'800'000'000;

class Reload : public BothStores {
 protected:
  // Opens originator 5 at kOpenTime with debug level 2 and the interval.
  void open(OpenHandle& h, int interval) {
    write_section(5, SectionValues{.debug_level = 2, .reload_interval = interval});
    FakeClock::set(kOpenTime, 0);
    ASSERT_EQ(xoltLogOpen(kProduct, 5, &h.handle), 0u);
    ASSERT_EQ(h.handle.debug_level, 2);
  }
  std::int32_t debug_level_at(OpenHandle& h, std::int64_t seconds_after_open) {
    FakeClock::set(kOpenTime + seconds_after_open, 0);
    std::int32_t level = -1;
    EXPECT_EQ(xoltLogGetDebugLevel(&h.handle, &level), 0u);
    return level;
  }

  FakeClock clock_{kOpenTime, 0};
};
XOLTLOG_BOTH_STORES(Reload);

TEST_P(Reload, StoreChangeIsSeenOnlyAfterTheInterval) {
  struct Case { int interval; std::int64_t after; std::int32_t expected; };
  for (const Case c : {Case{0, 100'000, 2}, Case{10, 60, 2}, Case{10, 61, 5}, Case{120, 120, 2},
                       Case{120, 121, 5}}) {
    OpenHandle h;
    open(h, c.interval);
    write_section(5, SectionValues{.debug_level = 5});
    EXPECT_EQ(debug_level_at(h, c.after), c.expected) << c.interval << " after " << c.after;
  }
}

// Counted from the last reload, not from the open; an interval of 0 in the
// store stops reloading after the reload that reads it.
TEST_P(Reload, ChecksAreCountedFromTheLastReload) {
  OpenHandle h;
  open(h, 60);
  EXPECT_EQ(debug_level_at(h, 61), 2);
  write_section(5, SectionValues{.debug_level = 5, .reload_interval = 0});
  EXPECT_EQ(debug_level_at(h, 100), 2);
  EXPECT_EQ(debug_level_at(h, 122), 5);
  EXPECT_EQ(h.handle.reload_interval, 0);
  EXPECT_EQ(xoltDynaLoadConfig(nullptr), 0u);
}

// Messages run the same check as the getters: a diagnostic message after
// the registration went finds both levels 0 and is dropped.
TEST_P(Reload, MessagesSeeTheReloadedLevels) {
  OpenHandle h;
  open(h, 120);
  h.handle.diag_level = 4;
  write_section(5, SectionValues{.debug_level = 5});
  FakeClock::set(kOpenTime + 120, 0);
  EXPECT_EQ(xoltLogDebugMsg(&h.handle, 0, 4, "w", "%s", "not yet"), 0u);
  FakeClock::set(kOpenTime + 121, 0);
  EXPECT_EQ(xoltLogDebugMsg(&h.handle, 0, 4, "w", "%s", "reloaded"), 0u);
  EXPECT_TRUE(records("not yet").empty());
  EXPECT_EQ(records("reloaded").size(), 1u);

  xoltLogRemoveProductCfg(kProduct);
  FakeClock::set(kOpenTime + 242, 0);
  EXPECT_EQ(xoltLogDiagMsg(&h.handle, 0, 1, "w", 0, "%s", "unregistered"), 0u);
  EXPECT_TRUE(records("unregistered").empty());
  EXPECT_EQ((std::array{h.handle.debug_level, h.handle.diag_level, h.handle.reload_interval}),
            (std::array{0, 0, 0}));
  EXPECT_EQ(h.handle.last_reload_check, kOpenTime + 242);
}

// Only a handle of the writer's own originator takes the store's interval,
// in its configuration copy; the handle's own interval waits for a reload.
TEST_P(Reload, WriterSettingsFollowTheStoreOnRequest) {
  write_section(7, SectionValues{.reload_interval = 30});
  OpenHandle own, foreign;
  ASSERT_EQ(xoltLogOpen2(kProduct, 5, 7, &foreign.handle), 0u);
  write_section(7, SectionValues{.reload_interval = 90});
  EXPECT_EQ(xoltReLoadCfg(foreign.handle.file_writer), 6u);
  EXPECT_EQ(foreign.handle.config->reload_interval, 30u);
  // Opened on the same series, it joins the same writer.
  ASSERT_EQ(xoltLogOpen(kProduct, 7, &own.handle), 0u);
  ASSERT_EQ(own.handle.file_writer, foreign.handle.file_writer);
  write_section(7, SectionValues{.reload_interval = 150});
  EXPECT_EQ(xoltReLoadCfg(own.handle.file_writer), 0u);
  EXPECT_EQ(own.handle.config->reload_interval, 150u);
  EXPECT_EQ(own.handle.reload_interval, 90);
  EXPECT_EQ(xoltReLoadCfg(nullptr), 3u);
}

}  // namespace
}  // namespace xoltlog::test
