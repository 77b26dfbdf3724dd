// The host name and the resolver, through the system-call table so that
// tests can feed the address lists of other machines.
#include <netdb.h>
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

}  // namespace

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

std::optional<std::uint32_t> host_address_number() noexcept {
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
