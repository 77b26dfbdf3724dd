#include <gtest/gtest.h>

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
  EXPECT_EQ(ReadHeader(&file.entry(), nullptr), 3u);
}

std::string fields(const XoltLogHeader& h) {
  return std::to_string(h.version) + " " + std::to_string(h.product_id) + " " +
         std::to_string(h.originator_id) + " " + std::to_string(h.creation_time) + " " +
         std::to_string(h.tz_offset) + " " + h.host_name;
}

// What a line holds for its version is read, as far as its fields read; the
// rest stays cleared, the offset -1. Numbers read as the 32-bit C library
// reads them. Whatever the header's fate, the record behind it comes next.
TEST(ReadHeader, ReadsFieldsByVersionAndLeavesTheFirstRecordNext) {
  const std::string long_host(600, 'h');
  const struct { std::string line; uint32_t result; std::string fields; } cases[] = {
      {"$Header 65543,12,100,1773480605,-3600,alpha", 0, "65543 12 100 1773480605 -3600 alpha"},
      {"$Header 65544,-3600,alpha", 0, "65544 0 0 0 -3600 alpha"},
      {"$Header 65544,4294963696," + long_host, 0, "65544 0 0 0 -3600 " + long_host.substr(89)},
      {"$Header 65542,7,8,9,beta gamma", 0, "65542 7 8 9 -1 beta"},
      {" $Header\t65543,12,oops,1,2,h", 0, "65543 12 0 0 -1 "},
      {"$Header 65543,99999999999,-5,-99999999999999999999,99999999999,h", 0,
       "65543 4294967295 4294967291 -9223372036854775808 2147483647 h"},
      {"$Header 65539,1,2,3,x", 48, "0 0 0 0 -1 "},
      {"$Header 65545,-3600,alpha", 48, "0 0 0 0 -1 "},
      {"$Header x", 48, "0 0 0 0 -1 "},
      {"$Headerx 65543,1,2,3,4,h", 1, "0 0 0 0 -1 "},
      {"", 1, "0 0 0 0 -1 "},
  };
  for (const auto& c : cases) {
    ReadFile file(c.line + "\n" + kRecord + "\n");
    XoltLogHeader header;
    file.entry().header_tz_offset = 77;
    EXPECT_EQ(ReadHeader(&file.entry(), &header), c.result) << c.line;
    EXPECT_EQ(fields(header), c.fields) << c.line;
    // The entry keeps the version, and the offset of the two that carry one.
    EXPECT_EQ(file.entry().header_version, header.version) << c.line;
    EXPECT_EQ(file.entry().header_tz_offset, header.version >= 65543 ? header.tz_offset : -1);
    EXPECT_EQ(read_all(file.context()), std::vector<std::string>{kRecord});
  }
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
