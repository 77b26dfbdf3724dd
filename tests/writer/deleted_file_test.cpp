// A writer whose current file is deleted goes on in a file that can be
// seen: at once when the deletion went through the library, within a
// second of message time when someone else removed it.
#include <gtest/gtest.h>
#include <unistd.h>

#include "writer/writer_fixture.h"
#include "xoltlog/file_list.h"

namespace xoltlog::test {
namespace {

class DeletedFile : public WriterTest {
 protected:
  // The files holding text, and whether any of them still has a name.
  bool written_visibly(const std::string& text) const {
    for (const std::string& name : files()) {
      if (content(name).find(text) != std::string::npos) return true;
    }
    return false;
  }
  std::int64_t now_ = local_time(2026, 3, 14, 10, 0);
};

TEST_F(DeletedFile, DeletionThroughTheLibraryIsSeenAtTheNextRecord) {
  XoltLogHandle& handle = open(config(5, 7));
  ASSERT_EQ(write(handle, "before"), XOLTLOG_OK);
  const std::string first = files().at(0);
  ASSERT_EQ(xoltLogDeleteFile(dir_.file(first).c_str()), XOLTLOG_OK);
  ASSERT_EQ(write(handle, "after"), XOLTLOG_OK);
  ASSERT_EQ(files().size(), 1u);
  EXPECT_TRUE(written_visibly("after"));
  // The new file starts with its header.
  EXPECT_EQ(lines(files().at(0)).at(0).rfind("$Header", 0), 0u);
}

TEST_F(DeletedFile, RemovalByOthersIsSeenWithinASecondOfMessageTime) {
  XoltLogHandle& handle = open(config(5, 7));
  FakeClock::set(now_, 0);
  ASSERT_EQ(write(handle, "before"), XOLTLOG_OK);
  ASSERT_EQ(::unlink(dir_.file(files().at(0)).c_str()), 0);
  FakeClock::set(now_, 500000000);
  ASSERT_EQ(write(handle, "unseen"), XOLTLOG_OK);
  EXPECT_TRUE(files().empty());
  FakeClock::set(now_ + 1, 0);
  ASSERT_EQ(write(handle, "seen again"), XOLTLOG_OK);
  EXPECT_TRUE(written_visibly("seen again"));
}

}  // namespace
}  // namespace xoltlog::test
