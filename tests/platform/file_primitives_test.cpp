#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "platform/disk_full.h"
#include "support/syscall_override.h"
#include "support/temp_dir.h"
#include "xoltlog/platform.h"

namespace {

using xoltlog::platform::posix::real_syscalls;
using xoltlog::test::read_file;
using xoltlog::test::SyscallOverride;
using xoltlog::test::TempDir;

// The context is 32 KiB: keep it off the stack.
struct Context {
  Context() { xoltLogOs_init(&c); }
  ~Context() { xoltLogOs_close(&c); }
  int32_t open(const std::string& path, int32_t mode, const char* sddl = nullptr) {
    return xoltLogOs_open(&c, path.c_str(), mode, sddl);
  }
  int32_t append(const std::string& text) {
    return xoltLogOs_append(&c, text.data(), static_cast<uint32_t>(text.size()));
  }
  XoltLogFileContext c;
};

void write_text(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

mode_t mode_of(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 ? (status.st_mode & 07777) : 07777;
}

// A temporary directory and a context, off the stack.
class FileTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::unique_ptr<Context> context = std::make_unique<Context>();
};
using FileContext = FileTest;
using FileAppend = FileTest;

// Opening again closes what was open: a writer reopens at every rollover.
TEST_F(FileContext, AppendModesKeepOrEmptyBothCreateAndReopeningLeaksNothing) {
  const auto open_descriptors = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
  };
  const auto descriptors = open_descriptors();
  ASSERT_EQ(context->open(dir.file("first.log"), 0), 0);
  for (const auto& [mode, kept] : {std::pair{0, "old\n"}, {2, ""}}) {
    const std::string name = dir.file("existing" + std::to_string(mode) + ".log");
    write_text(name, "old\n");
    ASSERT_EQ(context->open(name, mode), 0);
    EXPECT_EQ(context->append("new\n"), 4);
    EXPECT_EQ(read_file(name), std::string(kept) + "new\n");
    const std::string created = dir.file("created" + std::to_string(mode) + ".log");
    ASSERT_EQ(context->open(created, mode), 0);
    EXPECT_EQ(context->append("x"), 1);
    EXPECT_EQ(read_file(created), "x");
    ASSERT_EQ(context->open(name, 1), 0);
  }
  // One file open for reading, which needs no lock.
  EXPECT_EQ(open_descriptors(), descriptors + 1);
}

// A context that failed to open (or was never opened) refuses everything.
TEST_F(FileContext, OpenFailuresAreClassifiedAndLeaveNothingOpen) {
  XoltLogFileContext* c = &context->c;
  EXPECT_EQ(xoltLogOs_open(c, nullptr, 0, nullptr), -3);
  EXPECT_EQ(context->open(dir.file("missing.log"), 1), -7);
  EXPECT_EQ(context->open(dir.file("no/such/dir.log"), 0), -7);
  EXPECT_EQ(context->open(dir.path(), 0), -6);  // a directory
  uint64_t size = 7;
  EXPECT_EQ(xoltLogOs_fsize(c, nullptr), -3);
  EXPECT_EQ(xoltLogOs_fsize(c, &size), -1);
  EXPECT_EQ(context->append("x"), -1);
  EXPECT_EQ(xoltLogOs_read(c, c->read_buffer, 8), -1);
  xoltLogOs_close(c);  // and again by the fixture: harmless

  SyscallOverride calls;
  static int injected;
  calls.table().open = [](const char*, int, mode_t) { return errno = injected, -1; };
  for (const auto& [error, result] :
       {std::pair{EACCES, -7}, {EPERM, -7}, {EROFS, -7}, {ENOTDIR, -7}, {EMFILE, -6}}) {
    injected = error;
    EXPECT_EQ(context->open(dir.file("denied.log"), 0), result) << error;
    EXPECT_EQ(context->open(dir.file("denied.log"), 1), result) << error;
  }
}

// An append of nothing writes nothing but still stamps the time. Reading
// is checked through readrecord in reading_test.cpp.
TEST_F(FileContext, EmptyAppendStampsTheTimeAndSizeAndDeleteFollow) {
  XoltLogFileContext& c = context->c;
  const std::string name = dir.file("r.log");
  write_text(name, "0123456789");
  ASSERT_EQ(context->open(name, 0), 0);
  const timespec old_times[2] = {{1000, 0}, {1000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, name.c_str(), old_times, 0), 0);
  EXPECT_EQ(xoltLogOs_append(&c, nullptr, 0), 0);
  uint64_t size = 0;
  EXPECT_EQ(xoltLogOs_fsize(&c, &size), 0);
  EXPECT_EQ(size, 10u);
  struct stat status {};
  ASSERT_EQ(stat(name.c_str(), &status), 0);
  EXPECT_GT(status.st_mtim.tv_sec, 1000);
  xoltLogOs_close(&c);
  EXPECT_EQ(xoltLogOs_delete(name.c_str()), 0);
  EXPECT_EQ(xoltLogOs_delete(name.c_str()), -1);
}

// The append path in steady state is exactly one write per record: no
// locking call, no stat, no time stamp.
TEST_F(FileAppend, SteadyStateIsOneSystemCallPerRecord) {
  ASSERT_EQ(context->open(dir.file("one.log"), 0), 0);
  SyscallOverride calls;
  static int writes, others;
  writes = others = 0;
  calls.table().write = [](int fd, const void* bytes, size_t count) {
    return ++writes, real_syscalls().write(fd, bytes, count);
  };
  calls.table().flock = [](int, int) { return ++others, 0; };
  calls.table().fstat = [](int, struct stat*) { return ++others, -1; };
  calls.table().futimens = [](int, const timespec*) { return ++others, 0; };
  calls.table().ftruncate = [](int, off_t) { return ++others, 0; };
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(context->append("record line\n"), 12);
  }
  EXPECT_EQ(writes, 100);
  EXPECT_EQ(others, 0);
}

// A write that stops short and then fails must not leave half a record.
TEST_F(FileAppend, FailedWritesLeaveNoFragmentAndDiskFullSticks) {
  const std::string name = dir.file("f.log");
  ASSERT_EQ(context->open(name, 0), 0);
  ASSERT_EQ(context->append("whole\n"), 6);
  SyscallOverride calls;
  static int failure, calls_made;
  calls.table().write = [](int fd, const void* bytes, size_t count) -> ssize_t {
    if (++calls_made == 1) return real_syscalls().write(fd, bytes, count / 2);
    return errno = failure, -1;
  };
  for (const auto& [error, indication] : {std::pair{EIO, 0u}, {ENOSPC, 54u}}) {
    calls_made = 0;
    failure = error;
    EXPECT_EQ(context->append("torn record\n"), -1);
    EXPECT_EQ(read_file(name), "whole\n");
    EXPECT_EQ(xoltlog::platform::disk_full_indication(), indication);
  }
  calls.table().write = real_syscalls().write;
  EXPECT_EQ(context->append("after\n"), 6);
  EXPECT_EQ(xoltlog::platform::disk_full_indication(), 54u);
}

// Only what the call creates gets the permissions; a text that does not
// parse means the defaults.
TEST_F(FileContext, SddlPermissionsApplyToNewFilesAndDirectoriesOnly) {
  const mode_t saved_umask = umask(022);
  const char* kOwnerOnly = "D:P(A;;GA;;;SY)(A;;GA;;;BA)";
  ASSERT_EQ(context->open(dir.file("new.log"), 0, kOwnerOnly), 0);
  EXPECT_EQ(mode_of(dir.file("new.log")), 0600u);
  write_text(dir.file("old.log"), "");
  ASSERT_EQ(context->open(dir.file("old.log"), 2, kOwnerOnly), 0);
  EXPECT_EQ(mode_of(dir.file("old.log")), 0644u);
  ASSERT_EQ(context->open(dir.file("bad.log"), 0, "not sddl"), 0);
  EXPECT_EQ(mode_of(dir.file("bad.log")), 0644u);

  umask(077);
  ASSERT_EQ(xoltLogOs_mkdir(dir.file("a/b").c_str(), "D:(A;;GA;;;BA)(A;;GR;;;WD)"), 0);
  EXPECT_EQ(mode_of(dir.file("a")), 0755u);
  EXPECT_EQ(mode_of(dir.file("a/b")), 0755u);
  ASSERT_EQ(xoltLogOs_mkdir(dir.file("a/b/c").c_str(), kOwnerOnly), 0);
  EXPECT_EQ(mode_of(dir.file("a/b")), 0755u);
  EXPECT_EQ(mode_of(dir.file("a/b/c")), 0700u);
  umask(saved_umask);
}

// Existing levels, doubled and trailing separators and the root are fine;
// something else in the way or a path too long is not.
TEST_F(FileContext, DirectoriesAreCreatedAtEveryMissingLevelWithinTheLengthLimit) {
  EXPECT_EQ(xoltLogOs_mkdir(dir.file("x/y").c_str(), nullptr), 0);
  EXPECT_EQ(xoltLogOs_mkdir((dir.file("x//y") + "/z/").c_str(), nullptr), 0);
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("x/y/z")));
  EXPECT_EQ(xoltLogOs_mkdir("/", nullptr), 0);
  write_text(dir.file("file"), "");
  EXPECT_EQ(xoltLogOs_mkdir(dir.file("file/sub").c_str(), nullptr), 1);
  EXPECT_EQ(xoltLogOs_mkdir(nullptr, nullptr), 3);
  const std::string at_limit = "/" + std::string(XOLTLOG_MAX_MKDIR_PATH - 1, 'a');
  EXPECT_EQ(xoltLogOs_mkdir((at_limit + "b").c_str(), nullptr), 3);
  EXPECT_EQ(xoltLogOs_mkdir(at_limit.c_str(), nullptr), 1);  // a name too long for the system
}

// Two contexts on one file name in one process share a lock; with writes
// cut into small pieces, only the lock keeps their records whole, and only
// completing short writes keeps them at all.
TEST_F(FileAppend, ContextsOfOneNameShareTheLock) {
  const std::string name = dir.file("shared.log");
  Context* first = context.get();
  auto second = std::make_unique<Context>();
  ASSERT_EQ(first->open(name, 0), 0);
  ASSERT_EQ(second->open(name, 0), 0);
  EXPECT_EQ(first->c.mutex, second->c.mutex);
  SyscallOverride calls;
  calls.table().write = [](int fd, const void* bytes, size_t count) {
    std::this_thread::yield();
    return real_syscalls().write(fd, bytes, count < 4 ? count : 4);
  };
  constexpr int kRecords = 300;
  auto writer = [&](Context& appender, char letter) {
    for (int i = 0; i < kRecords; ++i) {
      ASSERT_EQ(appender.append(std::string(40, letter) + "\n"), 41);
    }
  };
  std::thread a(writer, std::ref(*first), 'a');
  std::thread b(writer, std::ref(*second), 'b');
  a.join();
  b.join();
  const std::string content = read_file(name);
  ASSERT_EQ(content.size(), 2u * kRecords * 41);
  for (size_t at = 0; at < content.size(); at += 41) {
    const std::string line = content.substr(at, 41);
    ASSERT_TRUE(line == std::string(40, 'a') + "\n" || line == std::string(40, 'b') + "\n")
        << "torn at " << at << ": " << line;
  }
}

}  // namespace
