#include "support/syslog_listener.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace xoltlog::test {

SyslogListener::SyslogListener() : path_(dir_.file("syslog.sock")) { restart(); }

void SyslogListener::restart() {
  stop();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
  fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0 || bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    std::abort();
  }
}

SyslogListener::~SyslogListener() { stop(); }

std::optional<std::string> SyslogListener::receive(std::chrono::milliseconds timeout) {
  pollfd ready{fd_, POLLIN, 0};
  if (fd_ < 0 || poll(&ready, 1, static_cast<int>(timeout.count())) != 1) {
    return std::nullopt;
  }
  std::vector<char> buffer(65536);
  const ssize_t length = recv(fd_, buffer.data(), buffer.size(), 0);
  if (length < 0) {
    return std::nullopt;
  }
  return std::string(buffer.data(), static_cast<std::size_t>(length));
}

void SyslogListener::stop() {
  if (fd_ >= 0) {
    close(fd_);
    unlink(path_.c_str());
    fd_ = -1;
  }
}

SyslogSocketVariable::SyslogSocketVariable(const std::string& path) {
  setenv("XOLTLOG_SYSLOG_SOCKET", path.c_str(), 1);
}

SyslogSocketVariable::~SyslogSocketVariable() { unsetenv("XOLTLOG_SYSLOG_SOCKET"); }

}  // namespace xoltlog::test
