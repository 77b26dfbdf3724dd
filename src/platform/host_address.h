// The host address number that ordinary log file names carry, so that files
// written from different hosts into one directory never mix.
//
// Looking the number up asks the resolver, which may wait on the network, so
// the number is kept once looked up: every file start of the process uses
// the kept number, and a kept number is renewed only by refresh_host_address,
// which callers run before they take the library lock. A rollover therefore
// never waits on the resolver, and a slow resolver holds up only the thread
// that refreshes. All functions are thread-safe; the kept number has a mutex
// of its own, never held across a lookup.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace xoltlog::platform {

// 127.0.0.1 read as a little-endian number: what a host with no usable
// address writes.
inline constexpr std::uint32_t kLoopbackAddressNumber = 16777343;

// How long a kept number serves before a refresh looks it up again: ten
// minutes, as long as the writer goes before it reopens its file series. A
// kept number older than that still serves until a refresh renews it.
inline constexpr std::int64_t kHostAddressKeepSeconds = 600;

// The kept number; looked up (under whatever lock the caller holds) only
// when none was ever kept. Nothing when the host name cannot be had and no
// number is kept.
std::optional<std::uint32_t> host_address_number() noexcept;

// Looks the number up and keeps it when none is kept or the kept one is
// older than kHostAddressKeepSeconds (or from a clock that has since gone
// back); otherwise returns at once. A lookup that finds no host name leaves
// the kept number as it was, to be tried again at the next refresh. Meant to
// be run without the library lock; a refresh already running in another
// thread makes this one return at once.
void refresh_host_address() noexcept;

// Drops the kept number, so that the next use looks it up afresh (for a host
// whose addresses have changed, and for tests that play other hosts). A
// lookup under way when this is called does not keep its result.
void forget_host_address() noexcept;

// The platform's lookup, every time asked: the first resolved address of
// the host's name that gives a number (an IPv4 address other than 127.0.0.1
// as its four bytes read little-endian, an IPv6 address other than ::1 as
// the sum of its last two big-endian 32-bit words), the loopback number when
// none does or the resolver fails; nothing when the host name cannot be had.
std::optional<std::uint32_t> look_up_host_address_number() noexcept;

// The local host name into buffer (cut to size - 1 bytes, NUL-terminated):
// false when it cannot be had.
bool local_host_name(char* buffer, std::size_t size) noexcept;

}  // namespace xoltlog::platform
