#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>
#include <thread>

#include "platform/disk_full.h"
#include "support/syscall_override.h"
#include "support/temp_dir.h"
#include "xoltlog/platform.h"

namespace {

using xoltlog::test::read_file;
using xoltlog::test::SyscallOverride;
using xoltlog::test::TempDir;

// The context is 32 KiB: keep it off the stack.
struct Context {
  Context() { xoltLogOs_init(&context); }
  ~Context() { xoltLogOs_close(&context); }
  XoltLogFileContext* operator->() { return &context; }
  XoltLogFileContext* get() { return &context; }
  XoltLogFileContext context;
};

using ContextPtr = std::unique_ptr<Context>;

void write_text(const std::string& path, const std::string& text) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

int32_t append(Context& context, const std::string& text) {
  return xoltLogOs_append(context.get(), text.data(), static_cast<uint32_t>(text.size()));
}

mode_t mode_of(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 ? (status.st_mode & 07777) : 07777;
}

int open_descriptor_count() {
  int count = 0;
  DIR* dir = opendir("/proc/self/fd");
  while (dir != nullptr && readdir(dir) != nullptr) {
    ++count;
  }
  if (dir != nullptr) closedir(dir);
  return count;
}

TEST(FileContext, NullArgumentsAndEmptyContexts) {
  EXPECT_EQ(xoltLogOs_init(nullptr), 0);
  EXPECT_EQ(xoltLogOs_open(nullptr, "x", 0, nullptr), -3);
  auto context = std::make_unique<Context>();
  EXPECT_EQ(xoltLogOs_init(context->get()), 1);
  EXPECT_EQ((*context)->file, 0u);
  EXPECT_EQ((*context)->read_position, -1);
  EXPECT_EQ(xoltLogOs_open(context->get(), nullptr, 0, nullptr), -3);
  uint64_t size = 7;
  EXPECT_EQ(xoltLogOs_fsize(nullptr, &size), -3);
  EXPECT_EQ(xoltLogOs_fsize(context->get(), nullptr), -3);
  EXPECT_EQ(xoltLogOs_fsize(context->get(), &size), -1);
  EXPECT_EQ(append(*context, "x"), -1);
  char buffer[8];
  EXPECT_EQ(xoltLogOs_read(context->get(), buffer, sizeof buffer), -1);
  xoltLogOs_close(context->get());
  xoltLogOs_close(context->get());
  xoltLogOs_close(nullptr);
  EXPECT_EQ(xoltLogOs_delete(nullptr), -1);
  EXPECT_EQ(xoltLogOs_mkdir(nullptr, nullptr), 3);
}

TEST(FileContext, AppendModesKeepOrEmptyAndBothCreate) {
  TempDir dir;
  auto context = std::make_unique<Context>();
  write_text(dir.file("keep.log"), "old\n");
  ASSERT_EQ(xoltLogOs_open(context->get(), dir.file("keep.log").c_str(), 0, nullptr), 0);
  EXPECT_NE((*context)->mutex, 0u);
  EXPECT_EQ(append(*context, "new\n"), 4);
  EXPECT_EQ(read_file(dir.file("keep.log")), "old\nnew\n");

  write_text(dir.file("empty.log"), "old\n");
  ASSERT_EQ(xoltLogOs_open(context->get(), dir.file("empty.log").c_str(), 2, nullptr), 0);
  EXPECT_EQ(append(*context, "new\n"), 4);
  EXPECT_EQ(read_file(dir.file("empty.log")), "new\n");

  for (int32_t mode : {0, 2}) {
    const std::string name = dir.file("created" + std::to_string(mode) + ".log");
    ASSERT_EQ(xoltLogOs_open(context->get(), name.c_str(), mode, nullptr), 0);
    EXPECT_EQ(append(*context, "x"), 1);
    EXPECT_EQ(read_file(name), "x");
  }
}

TEST(FileContext, OpenFailuresAreClassified) {
  TempDir dir;
  auto context = std::make_unique<Context>();
  EXPECT_EQ(xoltLogOs_open(context->get(), dir.file("missing.log").c_str(), 1, nullptr), -7);
  EXPECT_EQ(xoltLogOs_open(context->get(), dir.file("no/such/dir.log").c_str(), 0, nullptr),
            -7);
  EXPECT_EQ(xoltLogOs_open(context->get(), dir.path().c_str(), 0, nullptr), -6);  // a directory
  EXPECT_EQ((*context)->file, 0u);
  EXPECT_EQ((*context)->mutex, 0u);

  SyscallOverride calls;
  for (const int error : {EACCES, EPERM, EROFS, ENOTDIR}) {
    static int injected;
    injected = error;
    calls.table().open = [](const char*, int, mode_t) {
      errno = injected;
      return -1;
    };
    EXPECT_EQ(xoltLogOs_open(context->get(), dir.file("denied.log").c_str(), 0, nullptr), -7);
    EXPECT_EQ(xoltLogOs_open(context->get(), dir.file("denied.log").c_str(), 1, nullptr), -7);
  }
  calls.table().open = [](const char*, int, mode_t) {
    errno = EMFILE;
    return -1;
  };
  EXPECT_EQ(xoltLogOs_open(context->get(), dir.file("x.log").c_str(), 0, nullptr), -6);
}

TEST(FileContext, ReopeningClosesWhatWasOpen) {
  TempDir dir;
  auto context = std::make_unique<Context>();
  ASSERT_EQ(xoltLogOs_open(context->get(), dir.file("a.log").c_str(), 0, nullptr), 0);
  const int before = open_descriptor_count();
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(xoltLogOs_open(context->get(), dir.file("a.log").c_str(), i % 2, nullptr), 0);
  }
  EXPECT_EQ(open_descriptor_count(), before);
}

TEST(FileContext, ReadFillsTheBufferAndMarksEndOfFile) {
  TempDir dir;
  write_text(dir.file("r.log"), "0123456789");
  auto context = std::make_unique<Context>();
  ASSERT_EQ(xoltLogOs_open(context->get(), dir.file("r.log").c_str(), 1, nullptr), 0);
  EXPECT_EQ((*context)->mutex, 0u);
  char* buffer = (*context)->read_buffer;
  EXPECT_EQ(xoltLogOs_read(context->get(), buffer, 4), 4);
  EXPECT_EQ((*context)->read_position, 0);
  EXPECT_EQ((*context)->bytes_in_buffer, 4);
  EXPECT_EQ(std::string(buffer, 4), "0123");
  EXPECT_EQ(xoltLogOs_read(context->get(), buffer, XOLTLOG_READ_BUFFER_SIZE), 6);
  EXPECT_EQ(xoltLogOs_read(context->get(), buffer, XOLTLOG_READ_BUFFER_SIZE), 0);
  EXPECT_EQ((*context)->read_position, -1);
  EXPECT_EQ((*context)->bytes_in_buffer, 0);
}

TEST(FileContext, SizeAndDelete) {
  TempDir dir;
  auto context = std::make_unique<Context>();
  ASSERT_EQ(xoltLogOs_open(context->get(), dir.file("s.log").c_str(), 0, nullptr), 0);
  ASSERT_EQ(append(*context, std::string(1000, 'x')), 1000);
  uint64_t size = 0;
  EXPECT_EQ(xoltLogOs_fsize(context->get(), &size), 0);
  EXPECT_EQ(size, 1000u);
  xoltLogOs_close(context->get());
  EXPECT_EQ(xoltLogOs_delete(dir.file("s.log").c_str()), 0);
  EXPECT_EQ(xoltLogOs_delete(dir.file("s.log").c_str()), -1);
}

// The append path in steady state is exactly one write per record: no
// locking call, no stat, no time stamp.
TEST(FileAppend, SteadyStateIsOneSystemCallPerRecord) {
  TempDir dir;
  auto context = std::make_unique<Context>();
  ASSERT_EQ(xoltLogOs_open(context->get(), dir.file("one.log").c_str(), 0, nullptr), 0);
  SyscallOverride calls;
  static int writes;
  static int others;
  writes = 0;
  others = 0;
  calls.table().write = [](int fd, const void* bytes, size_t count) {
    ++writes;
    return xoltlog::platform::posix::real_syscalls().write(fd, bytes, count);
  };
  calls.table().flock = [](int, int) { return ++others, 0; };
  calls.table().fstat = [](int, struct stat*) { return ++others, -1; };
  calls.table().futimens = [](int, const timespec*) { return ++others, 0; };
  calls.table().ftruncate = [](int, off_t) { return ++others, 0; };
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(append(*context, "record line\n"), 12);
  }
  EXPECT_EQ(writes, 100);
  EXPECT_EQ(others, 0);
}

TEST(FileAppend, EmptyAppendStillStampsTheTime) {
  TempDir dir;
  auto context = std::make_unique<Context>();
  const std::string name = dir.file("t.log");
  ASSERT_EQ(xoltLogOs_open(context->get(), name.c_str(), 0, nullptr), 0);
  const timespec old_times[2] = {{1000, 0}, {1000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, name.c_str(), old_times, 0), 0);
  EXPECT_EQ(xoltLogOs_append(context->get(), nullptr, 0), 0);
  struct stat status {};
  ASSERT_EQ(stat(name.c_str(), &status), 0);
  EXPECT_GT(status.st_mtim.tv_sec, 1000);
  EXPECT_EQ(status.st_size, 0);
}

// A write that stops short and then fails must not leave half a record.
TEST(FileAppend, FailedWritesLeaveNoFragmentAndDiskFullSticks) {
  TempDir dir;
  auto context = std::make_unique<Context>();
  const std::string name = dir.file("f.log");
  ASSERT_EQ(xoltLogOs_open(context->get(), name.c_str(), 0, nullptr), 0);
  ASSERT_EQ(append(*context, "whole\n"), 6);
  SyscallOverride calls;
  static int failure;
  static int calls_made;
  calls_made = 0;
  calls.table().write = [](int fd, const void* bytes, size_t count) -> ssize_t {
    if (++calls_made == 1) {
      return xoltlog::platform::posix::real_syscalls().write(fd, bytes, count / 2);
    }
    errno = failure;
    return -1;
  };
  failure = EIO;
  EXPECT_EQ(append(*context, "torn record\n"), -1);
  EXPECT_EQ(read_file(name), "whole\n");
  EXPECT_EQ(xoltlog::platform::disk_full_indication(), 0u);

  calls_made = 0;
  failure = ENOSPC;
  EXPECT_EQ(append(*context, "torn record\n"), -1);
  EXPECT_EQ(read_file(name), "whole\n");
  EXPECT_EQ(xoltlog::platform::disk_full_indication(), 54u);

  calls.table().write = xoltlog::platform::posix::real_syscalls().write;
  EXPECT_EQ(append(*context, "after\n"), 6);
  EXPECT_EQ(xoltlog::platform::disk_full_indication(), 54u);
}

TEST(FileAppend, ShortWritesAreCompletedUnderTheLock) {
  TempDir dir;
  auto context = std::make_unique<Context>();
  const std::string name = dir.file("short.log");
  ASSERT_EQ(xoltLogOs_open(context->get(), name.c_str(), 0, nullptr), 0);
  SyscallOverride calls;
  calls.table().write = [](int fd, const void* bytes, size_t count) {
    return xoltlog::platform::posix::real_syscalls().write(fd, bytes, count < 3 ? count : 3);
  };
  EXPECT_EQ(append(*context, "a longer record\n"), 16);
  EXPECT_EQ(read_file(name), "a longer record\n");
}

TEST(FileSecurity, SddlPermissionsApplyToNewFilesOnly) {
  TempDir dir;
  const mode_t saved_umask = umask(022);
  auto context = std::make_unique<Context>();
  const char* kOwnerOnly = "D:P(A;;GA;;;SY)(A;;GA;;;BA)";
  ASSERT_EQ(xoltLogOs_open(context->get(), dir.file("new.log").c_str(), 0, kOwnerOnly), 0);
  EXPECT_EQ(mode_of(dir.file("new.log")), 0600u);

  write_text(dir.file("old.log"), "");
  chmod(dir.file("old.log").c_str(), 0644);
  ASSERT_EQ(xoltLogOs_open(context->get(), dir.file("old.log").c_str(), 2, kOwnerOnly), 0);
  EXPECT_EQ(mode_of(dir.file("old.log")), 0644u);

  ASSERT_EQ(xoltLogOs_open(context->get(), dir.file("bad.log").c_str(), 0, "not sddl"), 0);
  EXPECT_EQ(mode_of(dir.file("bad.log")), 0644u);

  umask(077);
  const char* kWorldReadable = "D:(A;;GA;;;BA)(A;;GR;;;WD)";
  ASSERT_EQ(xoltLogOs_mkdir(dir.file("a/b").c_str(), kWorldReadable), 0);
  EXPECT_EQ(mode_of(dir.file("a")), 0755u);
  EXPECT_EQ(mode_of(dir.file("a/b")), 0755u);
  ASSERT_EQ(xoltLogOs_mkdir(dir.file("a/b/c").c_str(), kOwnerOnly), 0);
  EXPECT_EQ(mode_of(dir.file("a/b")), 0755u);
  EXPECT_EQ(mode_of(dir.file("a/b/c")), 0700u);
  umask(saved_umask);
}

TEST(Directories, CreatesEveryMissingLevel) {
  TempDir dir;
  EXPECT_EQ(xoltLogOs_mkdir(dir.file("x/y/z").c_str(), nullptr), 0);
  EXPECT_EQ(xoltLogOs_mkdir(dir.file("x/y/z").c_str(), nullptr), 0);
  EXPECT_EQ(xoltLogOs_mkdir((dir.file("x//w") + "/").c_str(), nullptr), 0);
  struct stat status {};
  EXPECT_EQ(stat(dir.file("x/w").c_str(), &status), 0);
  EXPECT_TRUE(S_ISDIR(status.st_mode));
  EXPECT_EQ(xoltLogOs_mkdir("/", nullptr), 0);
}

TEST(Directories, RefusesLongPathsAndReportsFailures) {
  TempDir dir;
  write_text(dir.file("file"), "");
  EXPECT_EQ(xoltLogOs_mkdir(dir.file("file/sub").c_str(), nullptr), 1);
  const std::string at_limit = "/" + std::string(XOLTLOG_MAX_MKDIR_PATH - 1, 'a');
  const std::string too_long = at_limit + "b";
  EXPECT_EQ(xoltLogOs_mkdir(too_long.c_str(), nullptr), 3);
  EXPECT_EQ(xoltLogOs_mkdir(at_limit.c_str(), nullptr), 1);  // a name too long for the system
}

// Two contexts on one file name in one process share a lock; with writes
// cut into small pieces, only the lock keeps their records whole.
TEST(FileAppend, ContextsOfOneNameShareTheLock) {
  TempDir dir;
  const std::string name = dir.file("shared.log");
  auto first = std::make_unique<Context>();
  auto second = std::make_unique<Context>();
  ASSERT_EQ(xoltLogOs_open(first->get(), name.c_str(), 0, nullptr), 0);
  ASSERT_EQ(xoltLogOs_open(second->get(), name.c_str(), 0, nullptr), 0);
  EXPECT_EQ((*first)->mutex, (*second)->mutex);
  SyscallOverride calls;
  calls.table().write = [](int fd, const void* bytes, size_t count) {
    std::this_thread::yield();
    return xoltlog::platform::posix::real_syscalls().write(fd, bytes, count < 4 ? count : 4);
  };
  constexpr int kRecords = 300;
  auto writer = [&](Context& context, char letter) {
    const std::string record = std::string(40, letter) + "\n";
    for (int i = 0; i < kRecords; ++i) {
      append(context, record);
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
