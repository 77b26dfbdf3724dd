// The address number of a resolver answer, the part of the host address
// lookup that reads the system's address structures.
#pragma once

#include <netdb.h>

#include <cstdint>

namespace xoltlog::platform {

// The number of the first entry of addresses that gives one, as
// look_up_host_address_number describes; the loopback number when none does.
std::uint32_t address_number_of(const addrinfo* addresses) noexcept;

}  // namespace xoltlog::platform
