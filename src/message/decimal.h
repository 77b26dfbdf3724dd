// Decimal digits of integers, written eight at a time: a record line carries
// about ten numbers, and writing them digit pair by digit pair (a chain of
// dependent divisions) was the larger part of serializing a record.
#pragma once

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

namespace xoltlog {

namespace decimal_detail {

inline constexpr std::uint32_t kEightDigits = 100000000;

// The eight decimal digits of value (below 10^8, leading zeros included) as
// the byte values 0 to 9, the first digit in the lowest byte. Each step
// splits every lane of the word into its upper and lower half at once.
inline std::uint64_t digit_lanes(std::uint32_t value) noexcept {
  // Two 32-bit lanes of four digits each: 10^4 > v / 10^4 and v % 10^4.
  std::uint64_t lanes = (value / 10000) | (static_cast<std::uint64_t>(value % 10000) << 32);
  // Four 16-bit lanes of two digits: q = v / 100 computed as v * 5243 >> 19,
  // exact for every v below 10^4.
  std::uint64_t upper = ((lanes * 5243) >> 19) & 0x0000007F0000007Full;
  lanes = upper | ((lanes - upper * 100) << 16);
  // Eight 8-bit lanes of one digit: q = v / 10 computed as v * 103 >> 10,
  // exact for every v below 100.
  upper = ((lanes * 103) >> 10) & 0x000F000F000F000Full;
  return upper | ((lanes - upper * 10) << 8);
}

inline constexpr std::uint64_t kAsciiZeros = 0x3030303030303030ull;

// value (below 10^8) without leading zeros. Stores eight bytes at `at`
// whatever the length, so the caller's room must allow for that.
[[gnu::always_inline]] inline char* write_up_to_eight(char* at, std::uint32_t value) noexcept {
  if (value < 10) {
    *at = static_cast<char>('0' + value);
    return at + 1;
  }
  std::uint64_t lanes = digit_lanes(value);
  // The leading zeros are the lowest bytes that are zero.
  const int leading_zero_bits = std::countr_zero(lanes) & ~7;
  lanes = (lanes >> leading_zero_bits) + kAsciiZeros;
  std::memcpy(at, &lanes, sizeof lanes);
  return at + 8 - leading_zero_bits / 8;
}

inline char* write_eight(char* at, std::uint32_t value) noexcept {
  const std::uint64_t lanes = digit_lanes(value) + kAsciiZeros;
  std::memcpy(at, &lanes, sizeof lanes);
  return at + 8;
}

[[gnu::noinline]] inline char* write_long(char* at, std::uint64_t value) noexcept {
  const std::uint64_t upper = value / kEightDigits;
  const auto lower = static_cast<std::uint32_t>(value % kEightDigits);
  if (upper < kEightDigits) {
    at = write_up_to_eight(at, static_cast<std::uint32_t>(upper));
  } else {
    at = write_up_to_eight(at, static_cast<std::uint32_t>(upper / kEightDigits));
    at = write_eight(at, static_cast<std::uint32_t>(upper % kEightDigits));
  }
  return write_eight(at, lower);
}

// Numbers below 10^8 are most of a line's numbers; they are written inline.
[[gnu::always_inline]] inline char* write_unsigned(char* at, std::uint64_t value) noexcept {
  return value < kEightDigits ? write_up_to_eight(at, static_cast<std::uint32_t>(value))
                              : write_long(at, value);
}

}  // namespace decimal_detail

// The longest decimal form of a 64-bit integer, sign included.
inline constexpr std::size_t kMostDigits = 20;

// The room write_decimal needs for any value of Integer: its longest form,
// sign included, and never less than the eight bytes it stores at once.
template <typename Integer>
inline constexpr std::size_t kDecimalRoom = std::max<std::size_t>(
    8, std::numeric_limits<Integer>::digits10 + 1 + (std::is_signed_v<Integer> ? 1 : 0));

// The room for one unsigned value: eight bytes below 10^8.
inline std::size_t decimal_room(std::uint64_t value) noexcept {
  return value < decimal_detail::kEightDigits ? 8 : kDecimalRoom<std::uint64_t>;
}

// Writes value as printf's "%d"/"%u" would and returns the end of the digits.
// `at` must have kDecimalRoom<Integer> bytes of room (or decimal_room(value)).
template <typename Integer>
inline char* write_decimal(char* at, Integer value) noexcept {
  static_assert(std::is_integral_v<Integer> && sizeof(Integer) <= 8);
  if constexpr (std::endian::native != std::endian::little) {
    return std::to_chars(at, at + kMostDigits, value).ptr;
  } else if constexpr (std::is_signed_v<Integer>) {
    auto magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) {
      *at++ = '-';
      magnitude = 0 - magnitude;
    }
    return decimal_detail::write_unsigned(at, magnitude);
  } else {
    return decimal_detail::write_unsigned(at, value);
  }
}

}  // namespace xoltlog
