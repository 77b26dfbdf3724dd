// The pieces of a record line and their appending to a text buffer. Each
// piece is written straight into the buffer: room for its longest possible
// form is reserved once, the piece is written, and the unused room is given
// back. A record line costs a handful of such steps and no copies.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "message/decimal.h"
#include "message/text_buffer.h"
#include "xoltlog/record_format.h"
#include "xoltlog/result.h"

namespace xoltlog {

// The longest "%f" form of a double with six decimals (-DBL_MAX).
inline constexpr std::size_t kMostFixed = 317;

// Writes into room the caller has reserved. Every step has a known longest
// form, and the caller reserves their sum, so no step checks for room.
class Cursor {
 public:
  explicit Cursor(char* at) noexcept : at_(at) {}

  Cursor& character(char c) noexcept {
    *at_++ = c;
    return *this;
  }

  // Decimal digits, with a minus sign for negative values, in at most
  // kDecimalRoom<Integer> bytes.
  template <typename Integer>
  Cursor& number(Integer value) noexcept {
    at_ = write_decimal(at_, value);
    return *this;
  }

  // Six decimals, as printf's "%f" writes them: kMostFixed at most.
  Cursor& fixed(double value) noexcept {
    at_ = std::to_chars(at_, at_ + kMostFixed, value, std::chars_format::fixed, 6).ptr;
    return *this;
  }

  Cursor& bytes(std::string_view text) noexcept {
    if (!text.empty()) {
      std::memcpy(at_, text.data(), text.size());
      at_ += text.size();
    }
    return *this;
  }

  // The byte count, ':', the bytes, then terminator: a counted string,
  // decimal_room(bytes.size()) + bytes.size() + 2 at most.
  Cursor& counted(std::string_view text, char terminator) noexcept {
    return number(text.size()).character(':').bytes(text).character(terminator);
  }

  char* position() const noexcept { return at_; }

 private:
  char* at_;
};

// Appends to a buffer owned by the caller. Every function returns a result
// code: 0, or 4 when the buffer could not grow (the buffer has then already
// been released).
class LineWriter {
 public:
  explicit LineWriter(XoltLogTextMsg& buffer) noexcept : buffer_(buffer) {}

  // Reserves most bytes and lets write(Cursor&) fill at most that many.
  template <typename Write>
  std::uint32_t piece(std::size_t most, Write&& write) noexcept {
    char* start = reserve_text(buffer_, most);
    if (start == nullptr) {
      return XOLTLOG_E_NO_MEMORY;
    }
    Cursor cursor(start);
    write(cursor);
    unreserve_text(buffer_, most - static_cast<std::size_t>(cursor.position() - start));
    return XOLTLOG_OK;
  }

  std::uint32_t append(std::string_view text) noexcept {
    return piece(text.size(), [&](Cursor& out) { out.bytes(text); });
  }

 private:
  XoltLogTextMsg& buffer_;
};

// "N:" bytes "," where N is the byte count.
inline std::uint32_t append_string_field(LineWriter& out, std::string_view bytes) noexcept {
  return out.piece(decimal_room(bytes.size()) + 2 + bytes.size(),
                   [&](Cursor& line) { line.counted(bytes, ','); });
}

// tag, byte count, ':', bytes, '|': the string arguments of a catalog message.
inline std::uint32_t append_counted_argument(LineWriter& out, char tag,
                                             std::string_view bytes) noexcept {
  return out.piece(decimal_room(bytes.size()) + 3 + bytes.size(),
                   [&](Cursor& line) { line.character(tag).counted(bytes, '|'); });
}

}  // namespace xoltlog
