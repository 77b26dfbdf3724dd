// A stand-in syslog daemon for tests: a Unix datagram socket bound to a
// fresh path in its own temporary directory, named by XOLTLOG_SYSLOG_SOCKET
// while the listener lives, from which the test reads what was reported.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "support/temp_dir.h"

namespace xoltlog::test {

class SyslogListener {
 public:
  SyslogListener();  // aborts when the socket cannot be bound
  ~SyslogListener();
  SyslogListener(const SyslogListener&) = delete;
  SyslogListener& operator=(const SyslogListener&) = delete;

  const std::string& path() const { return path_; }
  // The next datagram, or nothing when none came within timeout.
  std::optional<std::string> receive(
      std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));
  // Stops listening and removes the socket, so that senders find nobody.
  void stop();
  // Listens again at the same path, as a syslog daemon that restarted.
  void restart();

 private:
  TempDir dir_;
  std::string path_;
  int fd_ = -1;
};

// Sets XOLTLOG_SYSLOG_SOCKET for a scope and removes it at the end.
class SyslogSocketVariable {
 public:
  explicit SyslogSocketVariable(const std::string& path);
  ~SyslogSocketVariable();
  SyslogSocketVariable(const SyslogSocketVariable&) = delete;
  SyslogSocketVariable& operator=(const SyslogSocketVariable&) = delete;
};

}  // namespace xoltlog::test
