// The event log on POSIX: a Unix datagram socket connected to the local
// syslog socket, $XOLTLOG_SYSLOG_SOCKET when set (read at each open, never
// while the library loads), else /dev/log.
#include "platform/event_log.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/heap.h"
#include "platform/clock.h"
#include "platform/posix/syscalls.h"
#include "platform/posix/syslog_datagram.h"
#include "platform/posix/unique_fd.h"
#include "platform/process.h"
#include "platform/text_convert.h"
#include "platform/time_breakdown.h"
#include "xoltlog/result.h"

namespace xoltlog::platform {

using posix::syscalls;
using posix::UniqueFd;

struct EventLog {
  sockaddr_un address{};
  BlockPtr<char> tag;
  UniqueFd socket;
};

namespace {

constexpr const char* kDefaultSocket = "/dev/log";
// A receiver that stops reading must not hold the caller (and with it the
// library lock) for long: a send that cannot go within this time fails.
constexpr timeval kSendTimeout = {1, 0};

bool socket_address(sockaddr_un& address) noexcept {
  const char* configured = std::getenv("XOLTLOG_SYSLOG_SOCKET");
  const char* path = configured != nullptr && *configured != '\0' ? configured : kDefaultSocket;
  const std::size_t length = std::strlen(path);
  if (length >= sizeof address.sun_path) {
    return false;
  }
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path, length + 1);
  return true;
}

UniqueFd connect_socket(const sockaddr_un& address) noexcept {
  UniqueFd fd(syscalls().socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (!fd || syscalls().connect(fd.get(), reinterpret_cast<const sockaddr*>(&address),
                                sizeof address) != 0) {
    return UniqueFd();
  }
  // Without the timeout a send waits as long as the receiver's queue stays
  // full; the connection is still usable, so a refusal here is no failure.
  syscalls().setsockopt(fd.get(), SOL_SOCKET, SO_SNDTIMEO, &kSendTimeout, sizeof kSendTimeout);
  return fd;
}

// The source name as a syslog tag in UTF-8. Code-page text that does not
// convert keeps its ASCII and shows "?" for every other byte.
BlockPtr<char> tag_of(const char* source, std::size_t source_size) noexcept {
  BlockPtr<char> name(static_cast<char*>(allocate(source_size + 1)));
  if (!name) {
    return name;
  }
  const std::size_t length = strnlen(source, source_size);
  std::memcpy(name.get(), source, length);
  name.get()[length] = '\0';
  BlockPtr<char> tag;
  if (code_page_to_utf8(tag, name.get()) != XOLTLOG_OK) {
    for (char* at = name.get(); *at != '\0'; ++at) {
      *at = static_cast<unsigned char>(*at) >= 0x80 ? '?' : *at;
    }
    tag = std::move(name);
  }
  posix::make_syslog_tag(tag.get());
  return tag;
}

bool send_datagram(const UniqueFd& fd, const char* bytes, std::size_t length) noexcept {
  const ssize_t sent = syscalls().send(fd.get(), bytes, length, MSG_NOSIGNAL);
  return sent >= 0 && static_cast<std::size_t>(sent) == length;
}

// The receiver went away (a syslog daemon restarting binds a new socket at
// the same path): worth one fresh connection.
bool receiver_gone(int error) noexcept {
  return error == ECONNREFUSED || error == ENOTCONN || error == ECONNRESET;
}

}  // namespace

EventLog* open_event_log(const char* source, std::size_t source_size) noexcept {
  EventLog* log = new (std::nothrow) EventLog;
  if (log == nullptr) {
    return nullptr;
  }
  log->tag = tag_of(source, source_size);
  if (!log->tag || !socket_address(log->address) ||
      !(log->socket = connect_socket(log->address))) {
    delete log;
    return nullptr;
  }
  return log;
}

std::int32_t report_event(EventLog& log, const EventReport& report) noexcept {
  std::tm local{};
  if (!break_down_local(wall_clock_now().seconds, local)) {
    local = std::tm{};
    local.tm_mday = 1;
  }
  std::array<char, posix::kMaxSyslogDatagram> datagram;
  const std::size_t length =
      posix::format_syslog_datagram(report, log.tag.get(), local, current_process_id(),
                                    datagram.data(), datagram.size());
  if (send_datagram(log.socket, datagram.data(), length)) {
    return 0;
  }
  if (!receiver_gone(errno)) {
    return -1;
  }
  UniqueFd fresh = connect_socket(log.address);
  if (!fresh) {
    return -1;
  }
  log.socket = std::move(fresh);
  return send_datagram(log.socket, datagram.data(), length) ? 0 : -1;
}

void close_event_log(EventLog* log) noexcept { delete log; }

}  // namespace xoltlog::platform
