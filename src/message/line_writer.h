// The pieces of a record line and their appending to a text buffer: short
// pieces (numbers, tags, separators) built on the stack, and counted byte
// strings ("N:" bytes terminator). Every append reserves its bytes once.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <system_error>
#include <type_traits>

#include "xoltlog/record_format.h"

namespace xoltlog {

// A short piece of a line. Its capacity holds the longest piece the record
// line needs: the numeric header, or a double in "%f" form (up to 317
// characters) with its tag and bar.
class ShortPiece {
 public:
  static constexpr std::size_t kCapacity = 384;

  ShortPiece& character(char c) noexcept;
  template <typename Integer>
  ShortPiece& number(Integer value) noexcept;
  // Six decimals, as printf's "%f" writes them.
  ShortPiece& fixed(double value) noexcept;

  std::string_view view() const noexcept { return {bytes_, size_}; }

 private:
  char bytes_[kCapacity];
  std::size_t size_ = 0;
};

// Inline: a line is mostly such pieces. Pieces are composed from a bounded
// set of parts, so overrunning the capacity is a programming error, not an
// input error; still, nothing is ever written past the end.
inline ShortPiece& ShortPiece::character(char c) noexcept {
  if (size_ < kCapacity) {
    bytes_[size_++] = c;
  }
  return *this;
}

// Decimal digits, with a minus sign for negative values; the type's own width
// keeps 32-bit numbers on the cheaper 32-bit conversion.
template <typename Integer>
inline ShortPiece& ShortPiece::number(Integer value) noexcept {
  static_assert(std::is_integral_v<Integer>);
  const auto [end, ec] = std::to_chars(bytes_ + size_, bytes_ + kCapacity, value);
  if (ec == std::errc{}) {
    size_ = static_cast<std::size_t>(end - bytes_);
  }
  return *this;
}

inline ShortPiece& ShortPiece::fixed(double value) noexcept {
  const auto [end, ec] =
      std::to_chars(bytes_ + size_, bytes_ + kCapacity, value, std::chars_format::fixed, 6);
  if (ec == std::errc{}) {
    size_ = static_cast<std::size_t>(end - bytes_);
  }
  return *this;
}

// Appends to a buffer owned by the caller. Every function returns a result
// code: 0, or 4 when the buffer could not grow (the buffer has then already
// been released).
class LineWriter {
 public:
  explicit LineWriter(XoltLogTextMsg& buffer) noexcept : buffer_(buffer) {}

  std::uint32_t append(std::string_view piece) noexcept;
  // prefix, then bytes, then terminator, in one reservation.
  std::uint32_t append_counted(std::string_view prefix, std::string_view bytes,
                               char terminator) noexcept;

 private:
  XoltLogTextMsg& buffer_;
};

// "N:" bytes "," where N is the byte count.
std::uint32_t append_string_field(LineWriter& out, std::string_view bytes) noexcept;
// tag, byte count, ':', bytes, '|': the string arguments of a catalog message.
std::uint32_t append_counted_argument(LineWriter& out, char tag, std::string_view bytes) noexcept;

}  // namespace xoltlog
