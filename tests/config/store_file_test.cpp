// The store file on its own: its exact bytes after a series of changes,
// hand-written files, refused input, failed replacements and processes
// rewriting one file at once.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>

#include "config/store_test_support.h"
#include "config/store_typed.h"
#include "support/helper_process.h"
#include "support/syscall_override.h"
#include "support/temp_dir.h"
#include "xoltlog/property_store.h"

namespace {

using xoltlog::test::names_of;
using xoltlog::test::read_file;
using xoltlog::test::Store;
using xoltlog::test::text_of;

const std::string kHeader =
    "###############################################\n"
    "# Caution! Do not update/modify file by hand. \n"
    "# Use zqlogcfg tool to update/modify this file\n"
    "###############################################\n";

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

class StoreFile : public ::testing::Test {
 protected:
  // Runs one operation on a handle of its own for section.
  uint32_t with(const std::string& section,
                const std::function<uint32_t(XoltLogPropertyStore*)>& op) {
    Store store;
    const uint32_t opened = utiOpenPropertyStore(path_.c_str(), section.c_str(), &store.handle, 1);
    return opened != 0 ? 100 + opened : op(&store.handle);
  }
  uint32_t set(const std::string& section, const char* name, const std::string& value) {
    return with(section, [&](auto* h) { return utiSetPropertyAsStr(h, name, value.c_str()); });
  }
  uint32_t set_number(const std::string& section, const char* name, uint32_t number) {
    return with(section, [&](auto* h) { return xoltlog::store_set_number(h, name, &number); });
  }
  std::string get(const std::string& section, const char* name) {
    Store store;
    utiOpenPropertyStore(path_.c_str(), section.c_str(), &store.handle, 0);
    return text_of(store, name);
  }
  void write_text(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }

  xoltlog::test::TempDir dir_;
  std::string path_ = dir_.file("xoltlog.conf");
};

TEST_F(StoreFile, ChangesAndRemovalsGiveExactlyTheseBytes) {
  Store created;
  ASSERT_EQ(CreatePropertyString(path_.c_str(), "Default", &created.handle), 0u);
  EXPECT_EQ(read_file(path_), kHeader);
  EXPECT_EQ(set("Default", "LogDirectory", "/var/log/a"), 0u);
  EXPECT_EQ(set_number("Default", "DebugLevel", 3), 0u);
  EXPECT_EQ(set("12", "LogDirectory", "sub"), 0u);
  const uint32_t on = 1;
  EXPECT_EQ(
      with("Default", [&](auto* h) { return xoltlog::store_set_bool(h, "LogToStdout", &on); }), 0u);
  EXPECT_EQ(set("", "Version", "1"), 0u);
  EXPECT_EQ(set("LOGSET.Default", "FileName", "app"), 0u);
  EXPECT_EQ(set("LOGSET.Other", "FileName", "other"), 0u);
  EXPECT_EQ(set_number("LOGSET.Default", "DebugLevel", 2), 0u);
  EXPECT_EQ(set_number("12", "MaxLogFileSizeKB", 4294967295u), 0u);
  EXPECT_EQ(set("Default", "LogDirectory", "/var/log/b"), 0u);
  EXPECT_EQ(set("", "Version", "2"), 0u);
  EXPECT_EQ(with("12", [](auto* h) { return utiRemoveProperty(h, "LogDirectory"); }), 0u);
  EXPECT_EQ(with("", [](auto* h) { return utiRemovePropertyRoot(h, "LOGSET.Other"); }), 0u);

  EXPECT_EQ(read_file(path_), kHeader +
                                  "Default.LogDirectory=/var/log/b\n"
                                  "Default.DebugLevel=3\n"
                                  "Default.LogToStdout=true\n"
                                  "12.MaxLogFileSizeKB=-1\n"
                                  "Version=2\n"
                                  "LOGSET.Default.FileName=app\n"
                                  "LOGSET.Default.DebugLevel=2\n");
  EXPECT_FALSE(exists(path_ + ".tmp"));
}

TEST_F(StoreFile, ReadsHandWrittenLinesWithEitherLineEnd) {
  const std::string long_value(2000, 'x');
  const std::string body = "12.Name=a\r\n12.Eq=a=b\r\n  # 13.Name=comment\n12.Long=" + long_value +
                           "\r\n13.Name=c\nLOGSET.Default.FileName=d\r\n" +
                           "LOGSET.Web.FileName=e\n";
  write_text(kHeader + body);
  EXPECT_EQ(get("12", "Name"), "a");
  EXPECT_EQ(get("12", "Eq"), "a");
  EXPECT_EQ(get("12", "Long"), std::string(399, 'x'));
  EXPECT_EQ(get("13", "Name"), "c");
  EXPECT_EQ(get("LOGSET.Web", "FileName"), "e");

  Store sections;  // the comment names no section
  ASSERT_EQ(utiOpenPropertyStore(path_.c_str(), "", &sections.handle, 0), 0u);
  EXPECT_EQ(names_of(sections, utiEnumProductId),
            (std::vector<std::string>{"12", "13", "LOGSET", "<7>"}));

  // A rewrite keeps every other line's text, long ones too, ending in "\n".
  EXPECT_EQ(set("13", "Name", "z"), 0u);
  EXPECT_EQ(read_file(path_),
            kHeader + "12.Name=a\n12.Eq=a=b\n  # 13.Name=comment\n12.Long=" + long_value +
                "\n13.Name=z\nLOGSET.Default.FileName=d\n" + "LOGSET.Web.FileName=e\n");
}

TEST_F(StoreFile, RefusesInputThatWouldInjectLinesAndLeavesTheFileAlone) {
  write_text(kHeader + "12.Name=v\n");
  const std::string before = read_file(path_);
  const struct { std::string section, name, value; } refused[] = {
      {"12", "Name", "a\nb"},  {"12", "Name", "a\rb"},
      {"12", "Na\nme", "v"},   {"12", "Na=me", "v"},
      {"1=2", "Name", "v"},    {"1.2", "Name", "v"},
      {"1\n2", "Name", "v"},   {"LOGSET.a.b", "Name", "v"},
      {"LOGSET", "Name", "v"}, {"LOGSET.", "Name", "v"},
      {"", "# Name", "v"},     {" #12", "Name", "v"},
      {"12", "", "v"},         {"12", "Name", std::string(400, 'x')},
  };
  for (const auto& row : refused) {
    EXPECT_EQ(set(row.section, row.name.c_str(), row.value), 3u)
        << "[" << row.section << "][" << row.name << "][" << row.value << "]";
  }
  EXPECT_EQ(read_file(path_), before);
  EXPECT_FALSE(exists(path_ + ".tmp"));
  EXPECT_EQ(set("12", "Name", std::string(399, 'x')), 0u);
}

int g_failed_calls = 0;
int g_errno = 0;
int fail_call() { return ++g_failed_calls, errno = g_errno, -1; }

TEST_F(StoreFile, AFailedRewriteLeavesTheFileAndNoTemporary) {
  using xoltlog::platform::posix::Syscalls;
  const auto rename = [](Syscalls& t) {
    t.rename = [](const char*, const char*) { return fail_call(); };
  };
  const auto sync = [](Syscalls& t) { t.fsync = [](int) { return fail_call(); }; };
  const auto open_temporary = [](Syscalls& t) {
    t.open = [](const char* path, int flags, mode_t mode) {
      return std::string_view(path).ends_with(".tmp")
                 ? fail_call()
                 : xoltlog::platform::posix::real_syscalls().open(path, flags, mode);
    };
  };
  const struct { void (*fail)(Syscalls&); int error; uint32_t result; int calls; } cases[] = {
      {rename, EACCES, 10, 5}, {rename, EROFS, 10, 5},         {rename, EXDEV, 6, 1},
      {sync, EIO, 6, 1},       {open_temporary, EACCES, 5, 1},
  };
  write_text(kHeader + "12.Name=old\n");
  for (const auto& c : cases) {
    Store store;
    ASSERT_EQ(utiOpenPropertyStore(path_.c_str(), "12", &store.handle, 1), 0u);
    xoltlog::test::SyscallOverride override_calls;
    c.fail(override_calls.table());
    g_failed_calls = 0;
    g_errno = c.error;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(utiSetPropertyAsStr(&store.handle, "Name", "new"), c.result) << c.error;
    EXPECT_EQ(g_failed_calls, c.calls) << c.error;
    if (c.calls == 5) {
      EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40)) << c.error;
    }
    EXPECT_EQ(read_file(path_), kHeader + "12.Name=old\n") << c.error;
    EXPECT_FALSE(exists(path_ + ".tmp")) << c.error;
    EXPECT_EQ(text_of(store, "Name"), "old") << c.error;
  }
}

TEST_F(StoreFile, ADirectoryOrAClosedHandleIsNoStore) {
  const std::string directory = dir_.file("dir.conf");
  ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
  Store store;
  EXPECT_EQ(utiOpenPropertyStore(directory.c_str(), "12", &store.handle, 1), 2u);
  EXPECT_EQ(CreatePropertyString(directory.c_str(), "12", &store.handle), 6u);
  EXPECT_FALSE(exists(directory + ".tmp"));

  Store closed;
  write_text(kHeader);
  ASSERT_EQ(utiOpenPropertyStore(path_.c_str(), "12", &closed.handle, 1), 0u);
  ASSERT_EQ(utiClosePropertyStore(&closed.handle), 0u);
  EXPECT_EQ(text_of(closed, "Name"), "<2>");
  EXPECT_EQ(utiSetPropertyAsStr(&closed.handle, "Name", "v"), 2u);
  EXPECT_EQ(read_file(path_), kHeader);
}

// Writer w's value number k: long, with letters that depend on both, so
// that a mixture of two versions cannot pass for either.
std::string value_of(int writer, int k) {
  return std::to_string(k) + ":" + std::string(300, static_cast<char>('a' + (writer * 7 + k) % 26));
}

XOLTLOG_TEST_HELPER(rewrite_store) {
  const int writer = std::stoi(args.at(1));
  const std::string name = "w" + args.at(1);
  for (int k = 0; k < std::stoi(args.at(2)); ++k) {
    Store store;
    if (utiOpenPropertyStore(args.at(0).c_str(), "S", &store.handle, 1) != 0 ||
        utiSetPropertyAsStr(&store.handle, name.c_str(), value_of(writer, k).c_str()) != 0) {
      return 2;
    }
  }
  return 0;
}

TEST_F(StoreFile, ProcessesRewritingAtOnceLeaveAWholeVersionAndEveryUpdate) {
  constexpr int kWriters = 3;
  constexpr int kRewrites = 60;
  write_text(kHeader);
  std::vector<pid_t> writers;
  std::set<std::string> valid_lines;
  for (int w = 0; w < kWriters; ++w) {
    writers.push_back(xoltlog::test::spawn_helper(
        "rewrite_store", {path_, std::to_string(w), std::to_string(kRewrites)}));
    for (int k = 0; k < kRewrites; ++k) {
      valid_lines.insert("S.w" + std::to_string(w) + "=" + value_of(w, k));
    }
  }
  // Every snapshot is one whole version: the header, then whole lines only.
  for (int snapshot = 0; snapshot < 300; ++snapshot) {
    const std::string text = read_file(path_);
    ASSERT_TRUE(text.starts_with(kHeader) && text.ends_with('\n')) << text;
    std::istringstream lines(text.substr(kHeader.size()));
    for (std::string line; std::getline(lines, line);) {
      ASSERT_TRUE(valid_lines.contains(line)) << text;
    }
  }
  for (const pid_t writer : writers) {
    EXPECT_EQ(xoltlog::test::wait_for_exit(writer), 0);
  }
  for (int w = 0; w < kWriters; ++w) {
    EXPECT_EQ(get("S", ("w" + std::to_string(w)).c_str()), value_of(w, kRewrites - 1));
  }
  EXPECT_FALSE(exists(path_ + ".tmp"));
}

}  // namespace
