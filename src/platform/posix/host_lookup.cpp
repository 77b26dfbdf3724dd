// The host name and the resolver, through the system-call table so that
// tests can feed the address lists of other machines.
#include "platform/posix/host_lookup.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

#include "platform/host_address.h"
#include "platform/posix/syscalls.h"

namespace xoltlog::platform {
namespace {

constexpr std::size_t kHostNameSize = 512;

struct AddressList {
  addrinfo* head = nullptr;
  ~AddressList() {
    if (head != nullptr) posix::syscalls().freeaddrinfo(head);
  }
};

std::uint32_t ipv4_number(const sockaddr_in& address) noexcept {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&address.sin_addr);
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::uint32_t big_endian_word(const unsigned char* bytes) noexcept {
  return static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
         static_cast<std::uint32_t>(bytes[2]) << 8 | static_cast<std::uint32_t>(bytes[3]);
}

std::uint32_t ipv6_number(const sockaddr_in6& address) noexcept {
  if (IN6_IS_ADDR_LOOPBACK(&address.sin6_addr)) {
    return 0;
  }
  const unsigned char* bytes = address.sin6_addr.s6_addr;
  return big_endian_word(bytes + 8) + big_endian_word(bytes + 12);  // modulo 2^32
}

std::uint32_t number_of(const addrinfo& entry) noexcept {
  if (entry.ai_addr == nullptr) {
    return 0;
  }
  if (entry.ai_family == AF_INET && entry.ai_addrlen >= sizeof(sockaddr_in)) {
    sockaddr_in address{};
    std::memcpy(&address, entry.ai_addr, sizeof address);
    const std::uint32_t number = ipv4_number(address);
    return number == kLoopbackAddressNumber ? 0 : number;
  }
  if (entry.ai_family == AF_INET6 && entry.ai_addrlen >= sizeof(sockaddr_in6)) {
    sockaddr_in6 address{};
    std::memcpy(&address, entry.ai_addr, sizeof address);
    return ipv6_number(address);
  }
  return 0;
}

}  // namespace

std::uint32_t address_number_of(const addrinfo* addresses) noexcept {
  for (const addrinfo* entry = addresses; entry != nullptr; entry = entry->ai_next) {
    if (const std::uint32_t number = number_of(*entry); number != 0) {
      return number;
    }
  }
  return kLoopbackAddressNumber;
}

bool local_host_name(char* buffer, std::size_t size) noexcept {
  char full[kHostNameSize + 1] = {};
  if (buffer == nullptr || size == 0 || posix::syscalls().gethostname(full, kHostNameSize) != 0) {
    return false;
  }
  const std::size_t length = strnlen(full, std::min(kHostNameSize, size - 1));
  std::memcpy(buffer, full, length);
  buffer[length] = '\0';
  return true;
}

std::optional<std::uint32_t> look_up_host_address_number() noexcept {
  char name[kHostNameSize];
  if (!local_host_name(name, sizeof name)) {
    return std::nullopt;
  }
  addrinfo hints{};
  hints.ai_flags = AI_ADDRCONFIG;
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  AddressList addresses;
  if (posix::syscalls().getaddrinfo(name, "0", &hints, &addresses.head) != 0) {
    addresses.head = nullptr;
    return kLoopbackAddressNumber;
  }
  return address_number_of(addresses.head);
}

}  // namespace xoltlog::platform
