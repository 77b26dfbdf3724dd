// Lines read through the system-call table into a buffer that grows to the
// longest line, so that a failing or slow read can be tested like any other.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/line_file.h"
#include "platform/posix/syscalls.h"
#include "platform/posix/unique_fd.h"

namespace xoltlog::platform {

using posix::syscalls;
using posix::UniqueFd;

class LineFile {
 public:
  explicit LineFile(UniqueFd fd) noexcept : fd_(std::move(fd)) {}

  std::optional<std::string_view> next();
  bool rewind() noexcept;
  void reopen(UniqueFd fd) noexcept;
  bool failed() const noexcept { return failed_; }
  int fd() const noexcept { return fd_.get(); }

 private:
  static constexpr std::size_t kChunk = 4096;

  std::string_view take(std::size_t stop, std::size_t resume) noexcept;
  void fill();

  UniqueFd fd_;
  std::string buffer_;
  std::size_t begin_ = 0;    // the first byte not yet handed out
  std::size_t scanned_ = 0;  // bytes before this hold no line end
  std::size_t end_ = 0;      // the end of the bytes read
  bool at_end_ = false;
  bool failed_ = false;
};

std::string_view LineFile::take(std::size_t stop, std::size_t resume) noexcept {
  const std::string_view line(buffer_.data() + begin_, stop - begin_);
  begin_ = scanned_ = resume;
  return line;
}

std::optional<std::string_view> LineFile::next() {
  for (;;) {
    const char* data = buffer_.data();
    const void* newline = std::memchr(data + scanned_, '\n', end_ - scanned_);
    if (newline != nullptr) {
      const auto stop = static_cast<std::size_t>(static_cast<const char*>(newline) - data);
      const std::size_t content = stop > begin_ && data[stop - 1] == '\r' ? stop - 1 : stop;
      return take(content, stop + 1);
    }
    scanned_ = end_;
    if (failed_ || (at_end_ && begin_ == end_)) {
      return std::nullopt;
    }
    if (at_end_) {
      return take(end_, end_);  // the last line, without a line end
    }
    fill();
  }
}

// Moves the unread bytes to the front, grows the buffer when they fill it,
// and reads what follows them.
void LineFile::fill() {
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    scanned_ -= begin_;
    begin_ = 0;
  }
  if (end_ == buffer_.size()) {
    buffer_.resize(std::max(kChunk, buffer_.size() * 2));
  }
  ssize_t count = -1;
  do {
    count = syscalls().read(fd_.get(), buffer_.data() + end_, buffer_.size() - end_);
  } while (count < 0 && errno == EINTR);
  if (count < 0) {
    failed_ = true;
  } else if (count == 0) {
    at_end_ = true;
  } else {
    end_ += static_cast<std::size_t>(count);
  }
}

bool LineFile::rewind() noexcept {
  begin_ = scanned_ = end_ = 0;
  at_end_ = false;
  failed_ = syscalls().lseek(fd_.get(), 0, SEEK_SET) != 0;
  return !failed_;
}

void LineFile::reopen(UniqueFd fd) noexcept {
  fd_ = std::move(fd);
  begin_ = scanned_ = end_ = 0;
  at_end_ = failed_ = false;
}

namespace {

UniqueFd open_regular_file(const char* path) noexcept {
  UniqueFd fd(syscalls().open(path, O_RDONLY | O_CLOEXEC, 0));
  struct stat status {};
  if (!fd || syscalls().fstat(fd.get(), &status) != 0) {
    return UniqueFd();
  }
  if (!S_ISREG(status.st_mode)) {
    errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    return UniqueFd();
  }
  return fd;
}

}  // namespace

void CloseLineFile::operator()(LineFile* file) const noexcept { delete file; }

LineFilePtr open_line_file(const char* path) {
  UniqueFd fd = open_regular_file(path);
  if (!fd) {
    return nullptr;
  }
  return LineFilePtr(new LineFile(std::move(fd)));
}

std::optional<std::string_view> read_line(LineFile& file) { return file.next(); }

bool read_failed(const LineFile& file) noexcept { return file.failed(); }

bool rewind_line_file(LineFile& file) noexcept { return file.rewind(); }

bool reopen_line_file(LineFile& file, const char* path) noexcept {
  UniqueFd fd = open_regular_file(path);
  if (!fd) {
    return false;
  }
  file.reopen(std::move(fd));
  return true;
}

bool is_same_file(const LineFile& file, const char* path) noexcept {
  struct stat open_file {};
  struct stat named_file {};
  return syscalls().fstat(file.fd(), &open_file) == 0 &&
         syscalls().stat(path, &named_file) == 0 && open_file.st_dev == named_file.st_dev &&
         open_file.st_ino == named_file.st_ino;
}

}  // namespace xoltlog::platform
