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
  LineFile(UniqueFd fd, const struct stat& status) noexcept
      : fd_(std::move(fd)), status_(status) {}

  std::optional<std::string_view> next();
  bool rewind() noexcept;
  void reopen(UniqueFd fd, const struct stat& status) noexcept;
  bool failed() const noexcept { return failed_; }
  // The file as it was when opened.
  const struct stat& status() const noexcept { return status_; }

 private:
  static constexpr std::size_t kChunk = 4096;

  std::string_view take(std::size_t stop, std::size_t resume) noexcept;
  void fill();

  UniqueFd fd_;
  struct stat status_;
  std::string buffer_;
  std::size_t begin_ = 0;    // the first byte not yet handed out
  std::size_t scanned_ = 0;  // bytes before this hold no line end
  std::size_t end_ = 0;      // the end of the bytes read
  bool at_end_ = false;
  bool failed_ = false;
  // Whether buffer_ still holds the file from its first byte on: then, once
  // it holds all of it, a rewind needs no system call.
  bool from_start_ = true;
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
    from_start_ = false;
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
    // The file is never changed in place (it is replaced whole, and a
    // replacement is noticed by its name), so all of its bytes are its end.
    at_end_ = from_start_ && end_ >= static_cast<std::size_t>(status_.st_size);
  }
}

bool LineFile::rewind() noexcept {
  if (at_end_ && from_start_ && !failed_) {
    begin_ = scanned_ = 0;
    return true;
  }
  begin_ = scanned_ = end_ = 0;
  at_end_ = false;
  from_start_ = true;
  failed_ = syscalls().lseek(fd_.get(), 0, SEEK_SET) != 0;
  return !failed_;
}

void LineFile::reopen(UniqueFd fd, const struct stat& status) noexcept {
  fd_ = std::move(fd);
  status_ = status;
  begin_ = scanned_ = end_ = 0;
  at_end_ = failed_ = false;
  from_start_ = true;
}

namespace {

UniqueFd open_regular_file(const char* path, struct stat& status) noexcept {
  UniqueFd fd(syscalls().open(path, O_RDONLY | O_CLOEXEC, 0));
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
  struct stat status {};
  UniqueFd fd = open_regular_file(path, status);
  if (!fd) {
    return nullptr;
  }
  return LineFilePtr(new LineFile(std::move(fd), status));
}

std::optional<std::string_view> read_line(LineFile& file) { return file.next(); }

bool read_failed(const LineFile& file) noexcept { return file.failed(); }

bool rewind_line_file(LineFile& file) noexcept { return file.rewind(); }

bool reopen_line_file(LineFile& file, const char* path) noexcept {
  struct stat status {};
  UniqueFd fd = open_regular_file(path, status);
  if (!fd) {
    return false;
  }
  file.reopen(std::move(fd), status);
  return true;
}

// A file changed in place since it was opened (by hand, against the rules)
// counts as another file too, so that it is read again.
bool is_same_file(const LineFile& file, const char* path) noexcept {
  struct stat named_file {};
  const struct stat& open_file = file.status();
  return syscalls().stat(path, &named_file) == 0 && open_file.st_dev == named_file.st_dev &&
         open_file.st_ino == named_file.st_ino && open_file.st_size == named_file.st_size &&
         open_file.st_mtim.tv_sec == named_file.st_mtim.tv_sec &&
         open_file.st_mtim.tv_nsec == named_file.st_mtim.tv_nsec;
}

}  // namespace xoltlog::platform
