// The store file on its own: its exact bytes after a series of changes,
// hand-written files, refused input, failed replacements and processes
// rewriting one file at once.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "config/store_test_support.h"
#include "config/store_typed.h"
#include "support/helper_process.h"
#include "support/other_user.h"
#include "support/syscall_override.h"
#include "support/temp_dir.h"
#include "xoltlog/property_store.h"

namespace {

using xoltlog::test::kOtherGroup;
using xoltlog::test::kOtherUser;
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

// "mode uid:gid" of the file at path itself, links not followed.
std::string owner_and_mode(const std::string& path) {
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0) {
    return "<missing>";
  }
  char mode[8];
  std::snprintf(mode, sizeof mode, "%04o", status.st_mode & 07777);
  return std::string(mode) + " " + std::to_string(status.st_uid) + ":" +
         std::to_string(status.st_gid);
}

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
  void write_text(const std::string& text, const std::string& path = {}) {
    std::ofstream(path.empty() ? path_ : path, std::ios::binary) << text;
  }

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

// The new version takes the old one's mode, and its owner where the writer
// may give a file away; a store file reached through a symbolic link is
// rewritten where the link leads, and the link stays.
TEST_F(StoreFile, ARewriteKeepsModeOwnerAndSymbolicLink) {
  ASSERT_EQ(chmod(dir_.path().c_str(), 0755), 0);
  const std::string others = std::to_string(kOtherUser) + ":" + std::to_string(kOtherGroup);
  const mode_t saved_mask = umask(0);
  Store created;  // new: readable by all, writable by its owner, whatever the umask
  EXPECT_EQ(CreatePropertyString(path_.c_str(), "12", &created.handle), 0u);
  umask(saved_mask);
  EXPECT_EQ(owner_and_mode(path_), "0644 0:0");

  write_text(kHeader + "12.Secret=old\n");
  ASSERT_EQ(chown(path_.c_str(), kOtherUser, kOtherGroup), 0);
  ASSERT_EQ(chmod(path_.c_str(), 0600), 0);
  EXPECT_EQ(set("12", "Secret", "new"), 0u);
  EXPECT_EQ(owner_and_mode(path_), "0600 " + others) << "another user's store rewritten by root";
  EXPECT_EQ(get("12", "Secret"), "new");

  // A writer that may not give the file to root's group keeps its own.
  const std::string users_dir = dir_.file("user");
  const std::string users_store = users_dir + "/own.conf";
  ASSERT_EQ(mkdir(users_dir.c_str(), 0755), 0);
  ASSERT_EQ(chown(users_dir.c_str(), kOtherUser, kOtherGroup), 0);
  write_text(kHeader, users_store);
  ASSERT_EQ(chown(users_store.c_str(), kOtherUser, 0), 0);
  ASSERT_EQ(chmod(users_store.c_str(), 0640), 0);
  const auto set_as_owner = [&] {
    Store own;
    if (utiOpenPropertyStore(users_store.c_str(), "12", &own.handle, 1) != 0) {
      return 50;
    }
    return static_cast<int>(utiSetPropertyAsStr(&own.handle, "Name", "v"));
  };
  EXPECT_EQ(xoltlog::test::run_as_user(kOtherUser, kOtherGroup, set_as_owner), 0);
  EXPECT_EQ(owner_and_mode(users_store), "0640 " + others);

  const std::string real_dir = dir_.file("real");
  const std::string real = real_dir + "/store.conf";
  const std::string link = dir_.file("link.conf");
  ASSERT_EQ(mkdir(real_dir.c_str(), 0755), 0);
  write_text(kHeader + "12.Name=old\n", real);
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  ASSERT_EQ(symlink("real/store.conf", link.c_str()), 0);
  Store linked;
  ASSERT_EQ(utiOpenPropertyStore(link.c_str(), "12", &linked.handle, 1), 0u);
  EXPECT_EQ(utiSetPropertyAsStr(&linked.handle, "Name", "new"), 0u);
  EXPECT_EQ(owner_and_mode(link).substr(0, 4), "0777") << "still a link";
  EXPECT_EQ(read_file(real), kHeader + "12.Name=new\n");
  EXPECT_EQ(owner_and_mode(real), "0640 0:0");
  EXPECT_EQ(text_of(linked, "Name"), "new");
  EXPECT_FALSE(exists(link + ".tmp") || exists(real + ".tmp"));

  // A link planted at the temporary's name once the stale one is gone is
  // never written through: the temporary is created exclusively.
  const std::string victim = dir_.file("victim");
  write_text("untouched", victim);
  ASSERT_EQ(symlink(victim.c_str(), (real + ".tmp").c_str()), 0);
  {
    xoltlog::test::SyscallOverride override_calls;
    override_calls.table().unlink = [](const char*) { return 0; };
    EXPECT_EQ(utiSetPropertyAsStr(&linked.handle, "Name", "newer"), 5u);
  }
  EXPECT_EQ(read_file(victim), "untouched");
  EXPECT_EQ(read_file(real), kHeader + "12.Name=new\n");
}

int g_write_calls = 0;
int g_full_at = 0;

// The g_full_at-th write finds the disk full.
ssize_t write_until_full(int fd, const void* bytes, size_t count) {
  if (++g_write_calls == g_full_at) {
    errno = ENOSPC;
    return -1;
  }
  return xoltlog::platform::posix::real_syscalls().write(fd, bytes, count);
}

TEST_F(StoreFile, AFullDiskAtAnyWriteLeavesTheStoreAsItWas) {
  std::string before = kHeader;
  for (int i = 0; i < 60; ++i) {  // several buffers' worth
    before += "12.P" + std::to_string(i) + "=" + std::string(390, 'v') + "\n";
  }
  write_text(before);
  int failed_writes = 0;
  for (g_full_at = 1;; ++g_full_at) {
    Store store;
    ASSERT_EQ(utiOpenPropertyStore(path_.c_str(), "12", &store.handle, 1), 0u);
    uint32_t result = 0;
    {
      xoltlog::test::SyscallOverride override_calls;
      override_calls.table().write = write_until_full;
      g_write_calls = 0;
      result = utiSetPropertyAsStr(&store.handle, "P0", "new");
    }
    if (g_write_calls < g_full_at) {
      EXPECT_EQ(result, 0u);
      break;
    }
    ++failed_writes;
    EXPECT_EQ(result, 6u) << g_full_at;
    EXPECT_EQ(read_file(path_), before) << g_full_at;
    EXPECT_FALSE(exists(path_ + ".tmp")) << g_full_at;
    EXPECT_EQ(text_of(store, "P0"), std::string(390, 'v')) << g_full_at;
  }
  EXPECT_GE(failed_writes, 3);
  EXPECT_EQ(get("12", "P0"), "new");
}

std::vector<std::string> g_steps;

// The new version is on the disk before it replaces the old one, and the
// replacement itself is on the disk before the set returns.
TEST_F(StoreFile, ARewriteSyncsTheFileThenMovesItThenSyncsTheDirectory) {
  write_text(kHeader);
  Store store;
  ASSERT_EQ(utiOpenPropertyStore(path_.c_str(), "12", &store.handle, 1), 0u);
  xoltlog::test::SyscallOverride override_calls;
  override_calls.table().fsync = [](int fd) {
    struct stat status {};
    fstat(fd, &status);
    g_steps.push_back(S_ISDIR(status.st_mode) ? "sync directory" : "sync file");
    return xoltlog::platform::posix::real_syscalls().fsync(fd);
  };
  override_calls.table().rename = [](const char* from, const char* to) {
    g_steps.push_back("rename");
    return xoltlog::platform::posix::real_syscalls().rename(from, to);
  };
  EXPECT_EQ(utiSetPropertyAsStr(&store.handle, "Name", "v"), 0u);
  EXPECT_EQ(g_steps, (std::vector<std::string>{"sync file", "rename", "sync directory"}));
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
