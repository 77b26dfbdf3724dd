#include "platform/host_address.h"

#include <mutex>

#include "platform/clock.h"

namespace xoltlog::platform {
namespace {

// The mutex guards the fields only; lookups run without it, so that a
// caller holding the library lock never waits on another thread's resolver.
struct KeptAddress {
  std::mutex mutex;
  std::optional<std::uint32_t> number;
  std::int64_t looked_up_at = 0;
  bool refreshing = false;
  // Changed by forget_host_address, so that a lookup begun before it does
  // not bring the forgotten state back.
  std::uint64_t generation = 0;
};

KeptAddress& kept() noexcept {
  static KeptAddress address;
  return address;
}

bool is_old(std::int64_t looked_up_at, std::int64_t now) noexcept {
  return now < looked_up_at || now - looked_up_at >= kHostAddressKeepSeconds;
}

// Keeps a number looked up at time now unless it was forgotten meanwhile;
// the caller holds the mutex.
void keep(KeptAddress& address, std::optional<std::uint32_t> number, std::int64_t now,
          std::uint64_t generation) noexcept {
  if (number && generation == address.generation) {
    address.number = number;
    address.looked_up_at = now;
  }
}

}  // namespace

std::optional<std::uint32_t> host_address_number() noexcept {
  KeptAddress& address = kept();
  std::uint64_t generation = 0;
  {
    const std::lock_guard lock(address.mutex);
    if (address.number) {
      return address.number;
    }
    generation = address.generation;
  }
  const std::int64_t now = wall_clock_now().seconds;
  const std::optional<std::uint32_t> number = look_up_host_address_number();
  const std::lock_guard lock(address.mutex);
  keep(address, number, now, generation);
  return number;
}

void refresh_host_address() noexcept {
  KeptAddress& address = kept();
  const std::int64_t now = wall_clock_now().seconds;
  std::uint64_t generation = 0;
  {
    const std::lock_guard lock(address.mutex);
    if (address.refreshing || (address.number && !is_old(address.looked_up_at, now))) {
      return;
    }
    address.refreshing = true;
    generation = address.generation;
  }
  const std::optional<std::uint32_t> number = look_up_host_address_number();
  const std::lock_guard lock(address.mutex);
  address.refreshing = false;
  keep(address, number, now, generation);
}

void forget_host_address() noexcept {
  KeptAddress& address = kept();
  const std::lock_guard lock(address.mutex);
  address.number.reset();
  ++address.generation;
}

}  // namespace xoltlog::platform
