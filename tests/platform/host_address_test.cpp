#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netdb.h>

#include <cstring>
#include <vector>

#include "platform/host_address.h"
#include "support/syscall_override.h"
#include "xoltlog/platform.h"

namespace {

using xoltlog::platform::address_number_of;
using xoltlog::platform::host_address_number;
using xoltlog::platform::kLoopbackAddressNumber;

// A resolver answer built from address texts, in order.
class AddressList {
 public:
  explicit AddressList(std::vector<const char*> texts) {
    entries_.resize(texts.size());
    v4_.resize(texts.size());
    v6_.resize(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
      addrinfo& entry = entries_[i];
      if (inet_pton(AF_INET, texts[i], &v4_[i].sin_addr) == 1) {
        v4_[i].sin_family = AF_INET;
        entry.ai_family = AF_INET;
        entry.ai_addr = reinterpret_cast<sockaddr*>(&v4_[i]);
        entry.ai_addrlen = sizeof(sockaddr_in);
      } else if (inet_pton(AF_INET6, texts[i], &v6_[i].sin6_addr) == 1) {
        v6_[i].sin6_family = AF_INET6;
        entry.ai_family = AF_INET6;
        entry.ai_addr = reinterpret_cast<sockaddr*>(&v6_[i]);
        entry.ai_addrlen = sizeof(sockaddr_in6);
      } else {
        entry.ai_family = AF_UNIX;  // a family the number skips
      }
      entry.ai_next = i + 1 < texts.size() ? &entries_[i + 1] : nullptr;
    }
  }
  const addrinfo* head() const { return entries_.empty() ? nullptr : &entries_[0]; }
  addrinfo* head() { return entries_.empty() ? nullptr : &entries_[0]; }

 private:
  std::vector<addrinfo> entries_;
  std::vector<sockaddr_in> v4_;
  std::vector<sockaddr_in6> v6_;
};

TEST(HostAddress, NumberOfTheFirstUsableAddress) {
  struct Case {
    std::vector<const char*> addresses;
    std::uint32_t number;
  };
  const Case cases[] = {
      {{"10.1.2.3"}, 50462986u},
      {{"127.0.0.1", "unix", "::1", "192.168.0.1"}, 0x0100A8C0u},
      {{"127.0.0.1", "::1"}, kLoopbackAddressNumber},
      {{}, kLoopbackAddressNumber},
      {{"fe80::1:2:3:4"}, 0x00010002u + 0x00030004u},
      {{"::ffff:ffff:ffff:ffff:ffff", "10.1.2.3"}, 0xFFFFFFFFu + 0xFFFFFFFFu},  // wraps
      {{"::", "10.1.2.3"}, 50462986u},  // an address whose number is 0 is skipped
      {{"2001:db8::a", "10.1.2.3"}, 10u},
  };
  for (const Case& c : cases) {
    const AddressList list(c.addresses);
    EXPECT_EQ(address_number_of(list.head()), c.number) << c.addresses.size();
  }
}

// The resolver is asked for the host's own name; its answers (and failures)
// decide the number, and the list is always handed back.
TEST(HostAddress, ResolverAnswersAndFailures) {
  xoltlog::test::SyscallOverride calls;
  static AddressList* answer;
  static int frees;
  static std::string asked;
  calls.table().gethostname = [](char* name, size_t size) {
    std::strncpy(name, "alpha", size);
    return 0;
  };
  calls.table().getaddrinfo = [](const char* node, const char*, const addrinfo*,
                                 addrinfo** result) {
    asked = node;
    *result = answer->head();
    return *result == nullptr ? EAI_NONAME : 0;
  };
  calls.table().freeaddrinfo = [](addrinfo*) { ++frees; };
  AddressList ipv6_only({"fe80::1:2:3:4"});
  answer = &ipv6_only;
  frees = 0;
  EXPECT_EQ(host_address_number(), 0x00040006u);
  EXPECT_EQ(asked, "alpha");
  EXPECT_EQ(frees, 1);
  AddressList nothing({});
  answer = &nothing;
  EXPECT_EQ(host_address_number(), kLoopbackAddressNumber);
  EXPECT_EQ(frees, 1);

  calls.table().gethostname = [](char*, size_t) { return -1; };
  EXPECT_FALSE(host_address_number().has_value());
  char buffer[8];
  EXPECT_NE(osGetHostName(buffer, sizeof buffer), 0);
}

TEST(HostAddress, RealHostGivesANumberAndANameThatCanBeCut) {
  EXPECT_TRUE(host_address_number().has_value());
  EXPECT_EQ(osSocketStartup(), 0);
  char full[512];
  ASSERT_EQ(osGetHostName(full, sizeof full), 0);
  char cut[3];
  ASSERT_EQ(osGetHostName(cut, sizeof cut), 0);
  EXPECT_EQ(std::string(cut), std::string(full).substr(0, 2));
  EXPECT_NE(osGetHostName(nullptr, 8), 0);
  EXPECT_NE(osGetHostName(cut, 0), 0);
  osSocketCleanup();
}

}  // namespace
