#include "message/decimal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <type_traits>

namespace {

// write_decimal must spell every value as to_chars does, and end where the
// digits end although it stores whole words beyond them, within the room
// the type (and, for unsigned values, decimal_room) promises.
template <typename Integer>
void expect_as_to_chars(Integer value) {
  char expected[xoltlog::kMostDigits];
  const char* expected_end = std::to_chars(expected, expected + sizeof expected, value).ptr;
  std::size_t room = xoltlog::kDecimalRoom<Integer>;
  if constexpr (std::is_unsigned_v<Integer>) {
    room = xoltlog::decimal_room(value);
  }
  char written[xoltlog::kMostDigits + 1];
  std::fill(std::begin(written), std::end(written), '#');
  const char* end = xoltlog::write_decimal(written, value);
  EXPECT_EQ(std::string_view(written, static_cast<std::size_t>(end - written)),
            std::string_view(expected, static_cast<std::size_t>(expected_end - expected)));
  EXPECT_EQ(std::string_view(written + room, sizeof written - room),
            std::string(sizeof written - room, '#'))
      << "stored beyond its room: " << value;
}

template <typename Integer>
void expect_around_powers_of_ten() {
  using Limits = std::numeric_limits<Integer>;
  for (Integer power = 1;; power = static_cast<Integer>(power * 10)) {
    for (const Integer value : {power, static_cast<Integer>(power - 1),
                                static_cast<Integer>(power + 1)}) {
      expect_as_to_chars(value);
      if constexpr (Limits::is_signed) {
        expect_as_to_chars(static_cast<Integer>(-value));
      }
    }
    if (power > Limits::max() / 10) break;
  }
  expect_as_to_chars(Limits::max());
  expect_as_to_chars(Limits::min());
}

TEST(Decimal, SpellsEveryWidthAsToChars) {
  for (std::uint32_t value = 0; value < 100000; ++value) {
    expect_as_to_chars(value);
  }
  expect_around_powers_of_ten<std::uint32_t>();
  expect_around_powers_of_ten<std::int32_t>();
  expect_around_powers_of_ten<std::uint64_t>();
  expect_around_powers_of_ten<std::int64_t>();
  std::mt19937_64 random(20261205);
  for (int i = 0; i < 100000; ++i) {
    const std::uint64_t bits = random();
    // Every length equally often: shift away a random number of bits.
    const std::uint64_t value = bits >> (random() % 64);
    expect_as_to_chars(value);
    expect_as_to_chars(static_cast<std::int64_t>(bits) >> (random() % 64));
    expect_as_to_chars(static_cast<std::uint32_t>(value));
  }
}

}  // namespace
