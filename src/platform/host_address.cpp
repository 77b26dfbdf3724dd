#include "platform/host_address.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

namespace xoltlog::platform {
namespace {

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

}  // namespace xoltlog::platform
