#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netdb.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/host_address.h"
#include "platform/posix/host_lookup.h"
#include "support/fake_clock.h"
#include "support/syscall_override.h"
#include "xoltlog/platform.h"

namespace {

using xoltlog::platform::address_number_of;
using xoltlog::platform::forget_host_address;
using xoltlog::platform::host_address_number;
using xoltlog::platform::kHostAddressKeepSeconds;
using xoltlog::platform::kLoopbackAddressNumber;
using xoltlog::platform::refresh_host_address;

// A resolver answer built from address texts, in order.
class AddressList {
 public:
  explicit AddressList(std::vector<const char*> texts)
      : entries_(texts.size()), addresses_(texts.size()) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
      addrinfo& entry = entries_[i];
      auto* v4 = reinterpret_cast<sockaddr_in*>(&addresses_[i]);
      auto* v6 = reinterpret_cast<sockaddr_in6*>(&addresses_[i]);
      if (inet_pton(AF_INET, texts[i], &v4->sin_addr) == 1) {
        entry.ai_family = v4->sin_family = AF_INET;
        entry.ai_addrlen = sizeof *v4;
      } else if (inet_pton(AF_INET6, texts[i], &v6->sin6_addr) == 1) {
        entry.ai_family = v6->sin6_family = AF_INET6;
        entry.ai_addrlen = sizeof *v6;
      } else {
        entry.ai_family = AF_UNIX;  // a family the number skips
      }
      entry.ai_addr = reinterpret_cast<sockaddr*>(&addresses_[i]);
      entry.ai_next = i + 1 < texts.size() ? &entries_[i + 1] : nullptr;
    }
  }
  addrinfo* head() { return entries_.empty() ? nullptr : entries_.data(); }

 private:
  std::vector<addrinfo> entries_;
  std::vector<sockaddr_storage> addresses_;
};

// The IPv4 number itself shows in every writer test's file names.
TEST(HostAddress, NumberOfTheFirstUsableAddress) {
  for (const auto& [addresses, number] : {
           std::pair<std::vector<const char*>, std::uint32_t>{
               {"127.0.0.1", "unix", "::1", "192.168.0.1"}, 0x0100A8C0u},
           {{"127.0.0.1", "::1"}, kLoopbackAddressNumber},
           {{"fe80::1:2:3:4"}, 0x00010002u + 0x00030004u},
           {{"::ffff:ffff:ffff:ffff:ffff", "10.1.2.3"}, 0xFFFFFFFFu + 0xFFFFFFFFu},  // wraps
           {{"::", "10.1.2.3"}, 50462986u},  // an address whose number is 0 is skipped
       }) {
    AddressList list(addresses);
    EXPECT_EQ(address_number_of(list.head()), number) << addresses.front();
  }
}

// While it lives, this host is "alpha", the resolver gives the answer the
// test sets and counts the questions, and no number is kept.
struct CountingResolver : xoltlog::test::SyscallOverride {
  CountingResolver() {
    forget_host_address();
    asked = "";
    lookups = frees = 0;
    table().gethostname = [](char* name, size_t size) {
      return std::strncpy(name, "alpha", size), 0;
    };
    table().getaddrinfo = [](const char* node, const char*, const addrinfo*, addrinfo** result) {
      asked = node;
      ++lookups;
      *result = answer->head();
      return *result == nullptr ? EAI_NONAME : 0;
    };
    table().freeaddrinfo = [](addrinfo*) { ++frees; };
  }
  ~CountingResolver() { forget_host_address(); }

  static inline AddressList* answer = nullptr;
  static inline std::string asked;
  static inline int lookups = 0;
  static inline int frees = 0;
};

// The resolver is asked for the host's own name, a list it gives is handed
// back, and no answer means the loopback number; without a name there is
// no number at all.
TEST(HostAddress, ResolverAnswersAndFailures) {
  CountingResolver resolver;
  AddressList ipv4({"10.1.2.3"}), nothing({});
  CountingResolver::answer = &ipv4;
  EXPECT_EQ(xoltlog::platform::look_up_host_address_number(), 50462986u);
  EXPECT_EQ(CountingResolver::asked, "alpha");
  EXPECT_EQ(CountingResolver::frees, 1);
  CountingResolver::answer = &nothing;
  EXPECT_EQ(host_address_number(), kLoopbackAddressNumber);
  EXPECT_EQ(CountingResolver::frees, 1);
  forget_host_address();
  resolver.table().gethostname = [](char*, size_t) { return -1; };
  EXPECT_FALSE(host_address_number().has_value());
}

// File starts use the kept number however old it is; only a refresh asks
// the resolver again, and only once the number has served its time. A
// refresh that finds no host name keeps what it had.
TEST(HostAddress, KeptNumberIsRenewedByARefreshOnly) {
  CountingResolver resolver;
  xoltlog::test::FakeClock clock(1'800'000'000, 0);
  AddressList first({"10.1.2.3"}), second({"10.1.2.4"});
  CountingResolver::answer = &first;
  for (int start = 0; start < 5; ++start) {
    EXPECT_EQ(host_address_number(), 50462986u);
  }
  EXPECT_EQ(CountingResolver::lookups, 1);
  CountingResolver::answer = &second;
  clock.set(1'800'000'000 + kHostAddressKeepSeconds - 1, 0);
  refresh_host_address();
  EXPECT_EQ(CountingResolver::lookups, 1);
  clock.set(1'800'000'000 + kHostAddressKeepSeconds, 0);
  EXPECT_EQ(host_address_number(), 50462986u);  // old, but never looked up here
  EXPECT_EQ(CountingResolver::lookups, 1);
  refresh_host_address();
  EXPECT_EQ(CountingResolver::lookups, 2);
  EXPECT_EQ(host_address_number(), 67240202u);

  clock.set(1'700'000'000, 0);  // the clock went back: the number's age is unknown
  CountingResolver::answer = &first;
  refresh_host_address();
  EXPECT_EQ(CountingResolver::lookups, 3);
  EXPECT_EQ(host_address_number(), 50462986u);
  clock.set(1'700'000'000 + kHostAddressKeepSeconds, 0);
  resolver.table().gethostname = [](char*, size_t) { return -1; };
  refresh_host_address();
  EXPECT_EQ(host_address_number(), 50462986u);
}

// A name longer than the buffer is cut to fit, not refused.
TEST(HostAddress, RealHostNameIsCutToTheBuffer) {
  char full[512];
  char cut[3];
  ASSERT_EQ(osGetHostName(full, sizeof full), 0);
  ASSERT_EQ(osGetHostName(cut, sizeof cut), 0);
  EXPECT_EQ(std::string(cut), std::string(full).substr(0, 2));
  EXPECT_NE(osGetHostName(cut, 0), 0);
}

}  // namespace
