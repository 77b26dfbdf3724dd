// The formatting library as the logging library uses it: libxoltlog.so's
// SharedLibLoad finds xoltLogFormatMsg_3.so beside it by its bare name.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cwchar>
#include <ctime>
#include <fstream>
#include <string>
#include <tuple>

#include "format_message.h"
#include "support/rir_messages.h"
#include "support/temp_dir.h"
#include "xoltlog/config.h"
#include "xoltlog/frame.h"

namespace {

constexpr std::int64_t kMay17 = 1715941230123;  // 2024-05-17 10:20:30.123 UTC

class FormatLibrary : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("TZ", "UTC0", 1);
    tzset();
    libxoltlog_ = dlopen(XOLTLOG_TEST_LIBXOLTLOG, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(libxoltlog_, nullptr) << dlerror();
    using Load = int32_t (*)(void**, const char*, char**);
    using Resolve = int32_t (*)(void*, const char*, void**);
    auto load = reinterpret_cast<Load>(dlsym(libxoltlog_, "SharedLibLoad"));
    auto resolve = reinterpret_cast<Resolve>(dlsym(libxoltlog_, "SharedLibResolveFunc"));
    ASSERT_NE(load, nullptr);
    ASSERT_NE(resolve, nullptr);
    ASSERT_EQ(load(&module_, "xoltLogFormatMsg", nullptr), 0);
    void* address = nullptr;
    ASSERT_EQ(resolve(module_, "LogFormatMessage", &address), 0);
    ASSERT_NE(address, nullptr);
    format_ = reinterpret_cast<XoltLogFormatMessageFn>(address);
  }
  static void TearDownTestSuite() {
    dlclose(module_);
    dlclose(libxoltlog_);
  }

  // The text for selector, or "(result N)" when the call fails.
  static std::string format(const XoltLogMsg& msg, std::uint32_t selector,
                            const XoltLogHandle* handle = nullptr, const char* locale = nullptr) {
    char* text = nullptr;
    const std::uint32_t result = format_(nullptr, 0, locale, 0, selector, 0, &msg, handle, &text);
    if (result != 0) {
      EXPECT_EQ(text, nullptr);
      return "(result " + std::to_string(result) + ")";
    }
    std::string copy(text);
    xoltLogFree(text);
    return copy;
  }

  static XoltLogMsg record(std::uint32_t type, const char* text) {
    XoltLogMsg msg{};
    msg.type = type;
    msg.product_id = 1001;
    msg.originator_id = 7;
    msg.timestamp_ms = kMay17;
    msg.text = const_cast<char*>(text);
    return msg;
  }

  static inline void* libxoltlog_ = nullptr;
  static inline void* module_ = nullptr;
  static inline XoltLogFormatMessageFn format_ = nullptr;
};

TEST_F(FormatLibrary, ConsoleLineForEveryKind) {
  char who[] = "alice";
  char title[] = "Upgrade";
  const auto with = [&](std::uint32_t type, auto fill) {
    XoltLogMsg msg = record(type, "disk is full");
    fill(msg);
    return format(msg, XOLTLOG_FORMAT_CONSOLE);
  };
  const std::string time = "2024-05-17 10:20:30.123 ";
  const std::pair<std::string, std::string> cases[] = {
      {with(XOLTLOG_MSG_DEBUG, [&](XoltLogMsg& m) { m.attr.level = 3, m.who_or_subject = who; }),
       "debug/3 1001/7 alice disk is full"},
      {with(XOLTLOG_MSG_DIAG, [&](XoltLogMsg& m) { m.attr.level = 6; }), "diag/6 1001/7 disk is full"},
      {with(XOLTLOG_MSG_APP, [&](XoltLogMsg& m) { m.who_or_subject = who; }),
       "app/info 1001/7 alice disk is full"},
      {with(XOLTLOG_MSG_APP, [&](XoltLogMsg& m) { m.attr.severity = 1; }),
       "app/warning 1001/7 disk is full"},
      {with(XOLTLOG_MSG_APP, [&](XoltLogMsg& m) { m.attr.severity = 4, m.context_token = title; }),
       "app/error 1001/7 [Upgrade] disk is full"},
      {with(XOLTLOG_MSG_APP, [&](XoltLogMsg& m) { m.attr.severity = 9; }),
       "app/sev9 1001/7 disk is full"},
      {with(XOLTLOG_MSG_CONTEXT, [&](XoltLogMsg& m) { m.attr.context_attr = title; }),
       "context 1001/7 Upgrade disk is full"},
      {with(XOLTLOG_MSG_AUDIT, [&](XoltLogMsg& m) { m.who_or_subject = who; }),
       "audit/success 1001/7 alice disk is full"},
      {with(XOLTLOG_MSG_SECURE_AUDIT,
            [&](XoltLogMsg& m) { m.attr.severity = 2, m.outcome = 5, m.who_or_subject = who; }),
       "secaudit/2/failure 1001/7 alice disk is full"},
      {with(17, [](XoltLogMsg&) {}), "type17 1001/7 disk is full"},
  };
  for (const auto& [line, expected] : cases) {
    EXPECT_EQ(line, time + expected);
  }
}

TEST_F(FormatLibrary, ConsoleLineStaysOneSafeLine) {
  char who[] = "bob\nsmith";
  XoltLogMsg msg = record(XOLTLOG_MSG_APP, "a\tb\r\nc\x1b[31m \xc3\xa9 \xff \xc3 \xed\xa0\x80 \xe2\x82\xac");
  msg.who_or_subject = who;
  msg.timestamp_ms = -1;  // a millisecond before 1970
  EXPECT_EQ(format(msg, XOLTLOG_FORMAT_CONSOLE),
            "1969-12-31 23:59:59.999 app/info 1001/7 bob\\nsmith "
            "a\\tb\\r\\nc\\x1b[31m \xc3\xa9 \\xff \\xc3 \\xed\\xa0\\x80 \xe2\x82\xac");
}

TEST_F(FormatLibrary, EventTextIsTheTextAlone) {
  XoltLogMsg msg = record(XOLTLOG_MSG_APP, "line one\nline two");
  EXPECT_EQ(format(msg, XOLTLOG_FORMAT_EVENT), "line one\nline two");
  msg.text = nullptr;
  EXPECT_EQ(format(msg, XOLTLOG_FORMAT_EVENT), "");
  rir_test::OwnedMsg pending;
  ASSERT_EQ(rir_test::build_text(pending.get(), "%d files in %s", 3, "/tmp"), 0);
  msg.rir = *pending;
  EXPECT_EQ(format(msg, XOLTLOG_FORMAT_EVENT), "3 files in /tmp");
  msg.rir = XoltRirMsg{};
}

TEST_F(FormatLibrary, RefusesBadCalls) {
  const XoltLogMsg msg = record(XOLTLOG_MSG_APP, "x");
  char* text = reinterpret_cast<char*>(1);
  EXPECT_EQ(format_(nullptr, 0, nullptr, 0, XOLTLOG_FORMAT_CONSOLE, 0, nullptr, nullptr, &text), 3u);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(format_(nullptr, 0, nullptr, 0, XOLTLOG_FORMAT_CONSOLE, 0, &msg, nullptr, nullptr), 3u);
  EXPECT_EQ(format(msg, 0x500), "(result 3)");
}

// Standard output and standard error on a pseudo-terminal for one call.
std::string format_on_terminal(XoltLogFormatMessageFn format_fn, const XoltLogMsg& msg) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  EXPECT_GE(master, 0);
  EXPECT_EQ(grantpt(master), 0);
  EXPECT_EQ(unlockpt(master), 0);
  const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
  const int saved[2] = {dup(STDOUT_FILENO), dup(STDERR_FILENO)};
  for (const int fd : {STDOUT_FILENO, STDERR_FILENO}) dup2(terminal, fd);
  char* text = nullptr;
  const std::uint32_t result =
      format_fn(nullptr, 0, nullptr, 0, XOLTLOG_FORMAT_CONSOLE, 0, &msg, nullptr, &text);
  for (const int fd : {STDOUT_FILENO, STDERR_FILENO}) dup2(saved[fd - 1], fd);
  for (const int fd : {saved[0], saved[1], terminal, master}) close(fd);
  std::string line = result == 0 ? text : "(failed)";
  xoltLogFree(text);
  return line;
}

TEST_F(FormatLibrary, ColoursOnATerminalUnlessNoColorOrDumbTerminal) {
  XoltLogMsg msg = record(XOLTLOG_MSG_APP, "boom");
  msg.attr.severity = 2;
  const std::string plain = "2024-05-17 10:20:30.123 app/error 1001/7 boom";
  const std::string coloured = "2024-05-17 10:20:30.123 \x1b[31mapp/error\x1b[0m 1001/7 boom";
  unsetenv("NO_COLOR");
  setenv("TERM", "xterm", 1);
  EXPECT_EQ(format_on_terminal(format_, msg), coloured);
  EXPECT_EQ(format(msg, XOLTLOG_FORMAT_CONSOLE), plain);  // not a terminal here
  setenv("NO_COLOR", "1", 1);
  EXPECT_EQ(format_on_terminal(format_, msg), plain);
  setenv("NO_COLOR", "", 1);  // an empty NO_COLOR does not count
  EXPECT_EQ(format_on_terminal(format_, msg), coloured);
  setenv("TERM", "dumb", 1);
  EXPECT_EQ(format_on_terminal(format_, msg), plain);
  unsetenv("NO_COLOR");
}

class Catalogs : public FormatLibrary {
 protected:
  void SetUp() override {
    write("app.cat", "4001 = Disk %1 is full (%2 bytes free)\n4002 = Only in the base\n");
    write("app.de.cat", "4001 = Platte %1 ist voll (%2 Bytes frei)\n");
    write("app.fr_FR.cat", "4001 = Disque %1 plein (%2 octets libres)\n");
    ASSERT_EQ(xoltLogCfgSetL10nResourceDir(&cfg_, dir_.path().c_str()), 0u);
    ASSERT_EQ(xoltLogCfgSetL10nResource(&cfg_, "app"), 0u);
    handle_.config = &cfg_;
  }
  void TearDown() override { xoltLogFreeCfg(&cfg_); }

  void write(const std::string& name, const std::string& content) {
    std::ofstream(dir_.file(name), std::ios::binary) << content;
  }

  std::string event(std::uint32_t id, const char* locale) {
    rir_test::OwnedMsg rir;
    EXPECT_EQ(rir_test::build_ex(rir.get(), 0, id, "%s%lld", "/var", 512LL), 0);
    XoltLogMsg msg = record(XOLTLOG_MSG_APP, nullptr);
    msg.rir = *rir;
    return format(msg, XOLTLOG_FORMAT_EVENT, &handle_, locale);
  }

  xoltlog::test::TempDir dir_;
  XoltLogCfg cfg_{};
  XoltLogHandle handle_{};
};

// The most specific catalog that holds the id; an unknown id, a missing
// catalog or an unregistered product gives the fallback form.
TEST_F(Catalogs, RenderedInTheLocaleAskedForOrTheFallbackForm) {
  const std::tuple<std::uint32_t, const char*, const char*> cases[] = {
      {4001, "de_DE.UTF-8", "Platte /var ist voll (512 Bytes frei)"},
      {4001, "fr_FR.UTF-8", "Disque /var plein (512 octets libres)"},
      {4001, "fr_CA.UTF-8", "Disk /var is full (512 bytes free)"},
      {4001, "C", "Disk /var is full (512 bytes free)"},
      {4002, "de_DE", "Only in the base"},
      {4999, "de_DE", "[Cannot find catalog for message id=4999] /var,512"},
  };
  for (const auto& [id, locale, expected] : cases) {
    EXPECT_EQ(event(id, locale), expected) << locale;
  }
  xoltLogFreeCfg(&cfg_);
  ASSERT_EQ(xoltLogCfgSetL10nResourceDir(&cfg_, dir_.file("nowhere").c_str()), 0u);
  ASSERT_EQ(xoltLogCfgSetL10nResource(&cfg_, "app"), 0u);
  EXPECT_EQ(event(4001, "de_DE"), "[Cannot find catalog for message id=4001] /var,512");
  handle_.config = nullptr;  // and a record whose product is not registered
  EXPECT_EQ(event(4001, "de_DE"), "[Cannot find catalog for message id=4001] /var,512");
}

TEST_F(Catalogs, NestedMessagesAndEveryArgumentType) {
  write("app.it.cat", "5001 = [%1|%2|%3|%4|%5|%6|%7|%8|%9|%10|%11|%12]\n5002 = inner %1\n");
  rir_test::OwnedMsg inner;
  ASSERT_EQ(rir_test::build_ex(inner.get(), 0, 5002, "%d", 42), 0);
  rir_test::OwnedMsg rir;
  ASSERT_EQ(rir_test::build_ex(rir.get(), 0, 5001, "%lc%lld%llu%f%p%ls%{oserr64}%{time}%{rir}%{utf8}%s%s",
                               wint_t{L'\u00e9'}, -5LL, 18446744073709551615ULL, 2.5,
                               reinterpret_cast<void*>(0xbeef), L"wide \u20ac", std::int64_t{5},
                               static_cast<std::int64_t>(kMay17 / 1000), inner.get(), "utf8",
                               "native", "extra"),
            0);
  XoltLogMsg msg = record(XOLTLOG_MSG_APP, nullptr);
  msg.rir = *rir;
  EXPECT_EQ(format(msg, XOLTLOG_FORMAT_EVENT, &handle_, "it_IT"),
            "[\xc3\xa9|-5|18446744073709551615|2.500000|0xbeef|wide \xe2\x82\xac|5|"
            "2024-05-17 10:20:30|inner 42|utf8|native|extra]");
  EXPECT_EQ(format(msg, XOLTLOG_FORMAT_EVENT, &handle_, "C").substr(0, 42),
            "[Cannot find catalog for message id=5001] ");
}

TEST_F(Catalogs, JunkCatalogsRenderSafely) {
  using namespace std::string_literals;
  std::string junk = "\xff\xfe\x00\x01 binary\n4001\n4001 == %99 %1%1%1 %\n"s;
  junk += "4002 = " + std::string(200000, 'x') + "%2\n";
  write("app.es.cat", junk);
  EXPECT_EQ(event(4001, "es"), "= %99 /var/var/var %");
  const std::string long_text = event(4002, "es");
  EXPECT_EQ(long_text.size(), 200003u);
  EXPECT_EQ(long_text.substr(199998), "xx512");
}

}  // namespace
