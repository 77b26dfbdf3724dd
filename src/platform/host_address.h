// The host address number that ordinary log file names carry, so that files
// written from different hosts into one directory never mix.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

struct addrinfo;

namespace xoltlog::platform {

// 127.0.0.1 read as a little-endian number: what a host with no usable
// address writes.
inline constexpr std::uint32_t kLoopbackAddressNumber = 16777343;

// The number of the first resolved address that gives one: an IPv4 address
// (not 127.0.0.1) as its four bytes read little-endian, an IPv6 address (not
// ::1) as the sum of its last two big-endian 32-bit words; the loopback
// number when none does.
std::uint32_t address_number_of(const addrinfo* addresses) noexcept;

// The number of this host, from its name and the resolver; nothing when the
// host name cannot be had.
std::optional<std::uint32_t> host_address_number() noexcept;

// The local host name into buffer (cut to size - 1 bytes, NUL-terminated):
// false when it cannot be had.
bool local_host_name(char* buffer, std::size_t size) noexcept;

}  // namespace xoltlog::platform
