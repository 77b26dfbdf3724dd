// What the tool learns of one log file: its header through the library,
// the first record through the library's reader, and the last record from
// the file's tail, so that listing a large file does not read it whole.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "cli/log_selection.h"
#include "xoltlog/xoltlog.h"

namespace xoltlog::tool {
namespace {

constexpr std::size_t kTailBytes = 65536;

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// A file context of the library's, closed on every way out.
struct OpenFile {
  std::unique_ptr<XoltLogFileContext> context = std::make_unique<XoltLogFileContext>();
  OpenFile() { xoltLogOs_init(context.get()); }
  ~OpenFile() { xoltLogOs_close(context.get()); }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
};

struct TextBuffer {
  XoltLogTextMsg buffer;
  TextBuffer() { init_text_msg(&buffer); }
  ~TextBuffer() { free_text_msg(&buffer); }
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;
  // The line readrecord delivered into a buffer initialized just before.
  const char* line() const { return buffer.storage; }
};

// The timestamp field of a record line: the sixth number of a 0x10007
// record, the fourth of a 0x10008 one; older records carry none.
std::optional<std::int64_t> record_time_ms(std::string_view line, std::uint32_t version) {
  int index = version == XOLTLOG_HEADER_VERSION ? 5 : version == XOLTLOG_HEADER_VERSION_LOGSET ? 3 : -1;
  if (index < 0) return std::nullopt;
  for (; index > 0; --index) {
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    line.remove_prefix(comma + 1);
  }
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
  if (error != std::errc{} || end == line.data() || end == line.data() + line.size() || *end != ',') {
    return std::nullopt;
  }
  return value;
}

// A logset file's name holds its writer's wall clock; with the header's
// offset (UTC minus that clock) it is an instant wherever the file is read.
std::optional<std::int64_t> logset_creation(const std::string& name, std::int32_t tz_offset) {
  std::uint32_t product = 0;
  char set_name[XOLTLOG_FIND_NAME_SIZE] = {};
  char stamp[13] = {};
  if (name.size() >= XOLTLOG_FIND_NAME_SIZE ||
      getSLidfromfilename(name.c_str(), &product, set_name, stamp) == 0) {
    return std::nullopt;
  }
  int fields[6] = {};
  for (int i = 0; i < 6; ++i) {
    const char high = stamp[2 * i], low = stamp[2 * i + 1];
    if (high < '0' || high > '9' || low < '0' || low > '9') return std::nullopt;
    fields[i] = (high - '0') * 10 + (low - '0');
  }
  std::tm wall{fields[5], fields[4], fields[3], fields[2], fields[1] - 1, fields[0] + 100,
               0, 0, 0, 0, nullptr};
  return static_cast<std::int64_t>(timegm(&wall)) + tz_offset;
}

enum class Tail { kNoRecord, kLine, kTooLong };

// The last complete line of the file, from its last kTailBytes: kNoRecord
// when that line is the header (or there is none), kTooLong when the line
// starts before the tail read.
Tail last_line(const std::string& path, std::uint64_t size, std::string& line) {
  const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0 || size == 0) return Tail::kNoRecord;
  const std::uint64_t offset = size > kTailBytes ? size - kTailBytes : 0;
  std::string tail(static_cast<std::size_t>(size - offset), '\0');
  const ssize_t got = ::pread(fd.get(), tail.data(), tail.size(), static_cast<off_t>(offset));
  if (got <= 0) return Tail::kNoRecord;
  tail.resize(static_cast<std::size_t>(got));
  // An incomplete last line is not a record yet: the writer is mid-append.
  const std::size_t end = tail.rfind('\n');
  if (end == std::string::npos) return offset == 0 ? Tail::kNoRecord : Tail::kTooLong;
  const std::size_t before = end == 0 ? std::string::npos : tail.rfind('\n', end - 1);
  if (before == std::string::npos) return offset == 0 ? Tail::kNoRecord : Tail::kTooLong;
  line = tail.substr(before + 1, end - before - 1);
  return Tail::kLine;
}

// Reads the header and the first record; the last record is read through
// to the end when the tail does not hold it whole.
void read_contents(LogFile& file, bool read_records) {
  OpenFile open;
  if (xoltLogOs_open(open.context.get(), file.path.c_str(), XOLTLOG_OPEN_READ, nullptr) != 0) {
    file.header_problem = std::string("cannot be opened: ") +
                          (::access(file.path.c_str(), R_OK) != 0 ? std::strerror(errno)
                                                                  : "refused");
    return;
  }
  XoltLogHeader header{};
  const std::uint32_t result = ReadHeaderEx(open.context.get(), &header);
  if (result != 0) {
    file.header_problem = result == XOLTLOG_E_BAD_HEADER
                              ? "header version not supported"
                              : "no header line (empty or not a log file)";
    return;
  }
  file.header_read = true;
  file.header_version = header.version;
  file.host = header.host_name;
  file.created = header.version == XOLTLOG_HEADER_VERSION_LOGSET
                     ? logset_creation(file.name, header.tz_offset).value_or(file.start)
                     : header.creation_time;
  file.tz_offset = header.tz_offset;
  if (!read_records) return;
  TextBuffer first;
  if (readrecord(open.context.get(), &first.buffer) != 1) return;
  file.first_record_ms = record_time_ms(first.line(), header.version);
  std::string line;
  const Tail tail = last_line(file.path, file.size, line);
  if (tail == Tail::kLine) {
    file.last_record_ms = record_time_ms(line, header.version);
    return;
  }
  file.last_record_ms = file.first_record_ms;
  for (TextBuffer next; readrecord(open.context.get(), &next.buffer) == 1; init_text_msg(&next.buffer)) {
    file.last_record_ms = record_time_ms(next.line(), header.version);
    free_text_msg(&next.buffer);
  }
}

}  // namespace

LogFile inspect_log_file(const std::string& directory, const std::string& name,
                         std::int64_t start, bool read_records) {
  LogFile file;
  file.path = directory + name;
  file.name = name;
  file.start = start;
  getidfromfilename(name.c_str(), &file.product, &file.originator);
  struct stat status {};
  if (::stat(file.path.c_str(), &status) != 0) {
    file.header_problem = std::string("cannot be read: ") + std::strerror(errno);
    return file;
  }
  file.last_write = status.st_mtime;
  file.size = static_cast<std::uint64_t>(status.st_size);
  read_contents(file, read_records);
  return file;
}

}  // namespace xoltlog::tool
