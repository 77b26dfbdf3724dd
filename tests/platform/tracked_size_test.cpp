// The file size the appenders keep beside the file's lock, and starting a file
// with its first line exactly once, within one process and across several.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_primitives.h"
#include "support/helper_process.h"
#include "support/temp_dir.h"

namespace {

using xoltlog::test::TempDir;
namespace platform = xoltlog::platform;

constexpr const char kFirstLine[] = "$Header first\n";

struct OpenFile {
  OpenFile() { platform::file_init(context); }
  ~OpenFile() { platform::file_close(context); }
  int32_t append_tracked(const std::string& text) {
    return platform::file_append_tracked(context, identity, text.data(),
                                         static_cast<uint32_t>(text.size()));
  }
  // The size the appenders keep, or -1 when it knows none.
  int64_t tracked_size() {
    uint64_t size = 0;
    return platform::tracked_file_size(context, identity, size) ? static_cast<int64_t>(size) : -1;
  }
  XoltLogFileContext context;
  platform::FileIdentity identity{};
};

std::unique_ptr<OpenFile> open_with_first_line(const std::string& name, bool& wrote) {
  auto file = std::make_unique<OpenFile>();
  const auto length = static_cast<uint32_t>(sizeof kFirstLine - 1);
  if (platform::file_open_with_first_line(file->context, name.c_str(), nullptr, kFirstLine, length,
                                          wrote) != 0 ||
      !platform::file_identity(file->context, file->identity)) {
    return nullptr;
  }
  return file;
}

int64_t size_on_disk(const std::string& name) {
  return static_cast<int64_t>(std::filesystem::file_size(name));
}

TEST(TrackedSize, FollowsTrackedAppendsAndForgetsUntrackedOnes) {
  TempDir dir;
  const std::string name = dir.file("tracked.log");
  bool wrote = false;
  auto file = open_with_first_line(name, wrote);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(wrote);
  // An existing file keeps its content.
  ASSERT_NE(open_with_first_line(name, wrote), nullptr);
  EXPECT_FALSE(wrote);
  EXPECT_EQ(xoltlog::test::read_file(name), kFirstLine);
  EXPECT_EQ(file->tracked_size(), size_on_disk(name));

  for (int i = 0; i < 10; ++i) {
    ASSERT_EQ(file->append_tracked("record\n"), 7);
  }
  EXPECT_EQ(file->tracked_size(), size_on_disk(name));
  ASSERT_EQ(platform::file_append(file->context, "untracked\n", 10), 10);
  EXPECT_EQ(file->tracked_size(), -1);
  // The next tracked append finds the size out again.
  ASSERT_EQ(file->append_tracked("x\n"), 2);
  EXPECT_EQ(file->tracked_size(), size_on_disk(name));

  // Another file under the same name (the old one removed) is not confused
  // with the one the slot knew.
  unlink(name.c_str());
  auto again = open_with_first_line(name, wrote);
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(wrote);
  ASSERT_EQ(again->append_tracked("new\n"), 4);
  EXPECT_EQ(again->tracked_size(), size_on_disk(name));
}

XOLTLOG_TEST_HELPER(start_and_append) {
  bool wrote = false;
  auto file = open_with_first_line(args.at(0), wrote);
  if (file == nullptr) return 2;
  const std::string record = "record of " + args.at(1) + "\n";
  for (int i = 0; i < 50; ++i) {
    if (file->append_tracked(record) < 0) return 3;
  }
  return wrote ? 10 : 0;
}

// Writers racing to start one new file: one of them writes the first line,
// it stands at the top, and the size they keep is the file's.
TEST(FirstLine, RacingProcessesWriteItOnceAtTheTop) {
  for (int round = 0; round < 5; ++round) {
    TempDir dir;
    const std::string name = dir.file("raced.log");
    std::vector<pid_t> writers;
    for (int w = 0; w < 4; ++w) {
      writers.push_back(
          xoltlog::test::spawn_helper("start_and_append", {name, std::to_string(w)}));
    }
    int first_line_writers = 0;
    for (pid_t writer : writers) {
      const int status = xoltlog::test::wait_for_exit(writer);
      ASSERT_TRUE(status == 0 || status == 10) << status;
      first_line_writers += status == 10 ? 1 : 0;
    }
    EXPECT_EQ(first_line_writers, 1);
    const std::string content = xoltlog::test::read_file(name);
    EXPECT_EQ(content.rfind(kFirstLine, 0), 0u);
    EXPECT_EQ(content.find(kFirstLine, 1), std::string::npos);
    EXPECT_EQ(content.size(), sizeof kFirstLine - 1 + 4 * 50 * 12u);
  }
}

}  // namespace
