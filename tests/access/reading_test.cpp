#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "message/text_buffer.h"
#include "support/syscall_override.h"
#include "support/temp_dir.h"
#include "writer/header_write.h"
#include "xoltlog/access.h"

namespace {

using xoltlog::test::SyscallOverride;

const std::string kHeader = "$Header 65543,12,100,1773480605,-3600,alpha\n";
const std::string kRecord = "2,5,7,7,12,1684318830123,4321,8765,0:,9:Disk full,3:svc,2,(0|)";

// A file with the given content, opened for reading through an entry.
class ReadFile {
 public:
  explicit ReadFile(const std::string& content) {
    std::ofstream(path_, std::ios::binary) << content;
    xoltLogOs_init(&entry_->file);
    EXPECT_EQ(xoltLogOs_open(&entry_->file, path_.c_str(), XOLTLOG_OPEN_READ, nullptr), 0);
  }
  ~ReadFile() { xoltLogOs_close(&entry_->file); }
  XoltLogFileEntry& entry() { return *entry_; }
  XoltLogFileContext& context() { return entry_->file; }
  const std::string& path() const { return path_; }

 private:
  xoltlog::test::TempDir dir_;
  std::string path_ = dir_.file("read.log");
  std::unique_ptr<XoltLogFileEntry> entry_ = std::make_unique<XoltLogFileEntry>();
};

// Every line up to the end, each read into a fresh buffer as tools do;
// *last gets readrecord's final result.
std::vector<std::string> read_all(XoltLogFileContext& file, int32_t* last = nullptr) {
  std::vector<std::string> lines;
  for (int32_t got = 1; got == 1;) {
    XoltLogTextMsg buffer;
    init_text_msg(&buffer);
    if ((got = readrecord(&file, &buffer)) == 1) {
      const auto size = static_cast<size_t>(xoltlog::text_size(buffer)) - 1;
      EXPECT_EQ(buffer.storage[size], '\0');
      EXPECT_EQ(buffer.storage == buffer.inline_storage, size + 1 < 4096) << size;
      lines.emplace_back(buffer.storage, size);
    }
    free_text_msg(&buffer);
    if (last != nullptr) *last = got;
  }
  return lines;
}

TEST(ReadRecord, DeliversCompleteLinesWhateverTheirLength) {
  const std::string huge(40000, 'a'), fill(32760, 'x'), tail(100, 'y');
  const std::string inline_max(4094, 'i'), past_inline(4095, 'h');
  const struct { std::string content; std::vector<std::string> lines; } cases[] = {
      {"", {}},
      {"a\nb", {"a"}},
      {"\n\n", {"", ""}},
      {"x\ry\r\n", {"x\ny\n"}},
      {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
      {inline_max + "\n" + past_inline + "\n", {inline_max, past_inline}},
      {huge + "\nb\n", {huge, "b"}},
      {fill + "\n" + tail + "\n" + tail, {fill, tail}},
  };
  for (const auto& c : cases) {
    ReadFile file(c.content);
    int32_t last = 1;
    EXPECT_EQ(read_all(file.context(), &last), c.lines);
    EXPECT_EQ(last, 0);
  }
}

TEST(Reading, FailuresEmptyFilesAndNullArguments) {
  ReadFile file(std::string(5000, 'z') + "\n");
  file.context().read_position = 3;
  file.context().bytes_in_buffer = 1 << 20;  // describes no buffer: refilled
  XoltLogTextMsg buffer;
  XoltLogHeader header;
  init_text_msg(&buffer);
  xoltlog::fail_text_growth_after(0);
  EXPECT_EQ(readrecord(&file.context(), &buffer), -1);
  xoltlog::fail_text_growth_after(-1);
  EXPECT_EQ(file.context().read_position, 0);
  {
    SyscallOverride calls;
    calls.table().read = [](int, void*, size_t) -> ssize_t { return errno = EIO, -1; };
    EXPECT_EQ(ReadHeaderEx(&file.context(), &header), 1u);
    EXPECT_EQ(file.context().read_position, -1);
  }
  ReadFile empty("");
  std::memset(&header, 0x5A, sizeof header);
  EXPECT_EQ(ReadHeader(&empty.entry(), &header), 1u);
  EXPECT_EQ(header.version, 0x5A5A5A5Au);  // untouched without a line
  EXPECT_EQ(ReadHeaderEx(&empty.context(), &header), 1u);
  EXPECT_EQ(header.version, 0u);
  EXPECT_EQ(readrecord(nullptr, &buffer), -1);
  EXPECT_EQ(readrecord(&file.context(), nullptr), -1);
  EXPECT_EQ(ReadHeader(&file.entry(), nullptr), 3u);
  EXPECT_EQ(ReadHeaderEx(nullptr, &header), 3u);
}

// Whatever the header's fate, the record behind it comes next.
TEST(ReadHeader, SetsTheEntryAndLeavesTheFirstRecordNext) {
  const struct { std::string line; uint32_t result, version; int32_t tz; } cases[] = {
      {kHeader, 0, 65543, -3600},
      {"$Header 65544,-3600,alpha\n", 0, 65544, -3600},
      {"$Header 65541,1,2,3,beta\n", 0, 65541, -1},
      {"$Header 65539,1,2,3,beta\n", 48, 0, -1},
      {"$Headerx 65543,1,2,3,4,h\n", 1, 0, -1},
  };
  for (const auto& c : cases) {
    ReadFile file(c.line + kRecord + "\n");
    XoltLogHeader header;
    file.entry().header_tz_offset = 77;
    EXPECT_EQ(ReadHeader(&file.entry(), &header), c.result) << c.line;
    EXPECT_EQ(file.entry().header_version, c.version) << c.line;
    EXPECT_EQ(file.entry().header_tz_offset, c.tz) << c.line;
    EXPECT_EQ(read_all(file.context()), std::vector<std::string>{kRecord});
  }
}

// A header written into an emptied read file comes back as written; one of
// a version without a line, or one the file refuses, is not written at all.
TEST(ReadHeader, ReadsBackWhatTheWriterWrote) {
  ReadFile file("");
  XoltLogFileContext& context = file.context();
  ASSERT_EQ(xoltLogOs_open(&context, file.path().c_str(), XOLTLOG_OPEN_TRUNCATE, nullptr), 0);
  XoltLogHeader written{};
  xoltlog::fill_new_header(written, {12, 100, false});
  XoltLogHeader unwritable = written;
  unwritable.version = 65539;
  EXPECT_EQ(xoltlog::write_header(context, unwritable), 1u);
  {
    SyscallOverride calls;
    calls.table().write = [](int, const void*, size_t) -> ssize_t { return errno = EIO, -1; };
    EXPECT_EQ(xoltlog::write_header(context, written), 1u);
  }
  EXPECT_EQ(xoltlog::write_header(context, written), 0u);
  ASSERT_EQ(xoltLogOs_open(&context, file.path().c_str(), XOLTLOG_OPEN_READ, nullptr), 0);
  XoltLogHeader header;
  EXPECT_EQ(ReadHeaderEx(&context, &header), 0u);
  std::array<char, xoltlog::kHeaderLineCapacity> out, back;
  const std::string line(out.data(), xoltlog::format_header_line(written, out));
  EXPECT_EQ(xoltlog::test::read_file(file.path()), line);
  EXPECT_EQ(std::string(back.data(), xoltlog::format_header_line(header, back)), line);
}

// Random bytes, and a valid file damaged by cuts, NULs, carriage returns,
// huge numbers and long words: documented results only, while the
// sanitizers watch for overflows and leaks.
TEST(ReadingFuzz, DamagedFilesGetDocumentedResults) {
  std::mt19937_64 random(20260314);
  const auto pick = [&random](size_t bound) { return static_cast<size_t>(random() % bound); };
  const std::string kAlphabet = "$Header 01239,-\n\r";
  for (int i = 0; i < 300; ++i) {
    std::string content = kHeader + kRecord + "\n" + kRecord + "\n";
    if (i % 3 == 0) {
      content.resize(pick(8) == 0 ? pick(70000) : pick(300));
      for (char& c : content) {
        c = pick(2) ? kAlphabet[pick(kAlphabet.size())] : static_cast<char>(random());
      }
    }
    for (size_t n = pick(5); n > 0; --n) {
      const std::string inserts[] = {std::string(1, '\0'), "\r", "\n", "99999999999999999999999",
                                     std::string(pick(2000), 'w'), ""};
      content.insert(pick(content.size() + 1), inserts[pick(std::size(inserts))]);
      content.resize(pick(8) == 0 ? pick(content.size() + 1) : content.size());
    }
    ReadFile file(content);
    XoltLogHeader header;
    const uint32_t result =
        i % 2 ? ReadHeader(&file.entry(), &header) : ReadHeaderEx(&file.context(), &header);
    EXPECT_TRUE(result == 0 || result == 1 || result == 48) << result;
    EXPECT_TRUE(result == 1 || strnlen(header.host_name, sizeof header.host_name) < 512);
    EXPECT_TRUE(result != 0 || (header.version >= 0x10004 && header.version <= 0x10008));
    for (const std::string& line : read_all(file.context())) {
      EXPECT_EQ(line.find('\r'), std::string::npos);
    }
  }
}

}  // namespace
