#include "message/printf_format.h"

#include <cstring>

namespace xoltlog {
namespace {

// Digits beyond this many could exceed what the Rir library accepts.
constexpr int kMostAmountDigits = 6;

enum class Piece { kRefused, kInteger, kExact };

const char* skip_flags(const char* at) noexcept {
  for (;; ++at) {
    switch (*at) {
      case '-':
      case '+':
      case ' ':
      case '#':
      case '0':
      case '\'':
        break;
      default:
        return at;
    }
  }
}

const char* skip_amount(const char* at) noexcept {
  int count = 0;
  while (*at >= '0' && *at <= '9') {
    if (++count > kMostAmountDigits) {
      return nullptr;
    }
    ++at;
  }
  return at;
}

enum class Length { kNone, kLong, kLongDouble, kOther };

// The length modifier at `at`, which moves past it.
Length length_modifier(const char*& at) noexcept {
  if ((at[0] == 'h' && at[1] == 'h') || (at[0] == 'l' && at[1] == 'l')) {
    at += 2;
    return Length::kOther;
  }
  switch (*at) {
    case 'l':
      ++at;
      return Length::kLong;
    case 'L':
      ++at;
      return Length::kLongDouble;
    case 'h':
    case 'j':
    case 'z':
    case 't':
      ++at;
      return Length::kOther;
    default:
      return Length::kNone;
  }
}

// What the Rir library makes of the conversion, for the lengths it takes.
Piece classify(char letter, bool plain, Length length) noexcept {
  const bool double_length = length != Length::kOther;
  switch (letter) {
    case 'd':
    case 'i':
    case 'u':
      if (length == Length::kLongDouble) return Piece::kRefused;
      return plain ? Piece::kInteger : Piece::kExact;
    case 'o':
    case 'x':
    case 'X':
      return length == Length::kLongDouble ? Piece::kRefused : Piece::kExact;
    case 'f':
      if (plain && length != Length::kLongDouble) return Piece::kRefused;
      return double_length ? Piece::kExact : Piece::kRefused;
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
    case 'a':
    case 'A':
      return double_length ? Piece::kExact : Piece::kRefused;
    case 's':
      return length == Length::kNone ? Piece::kExact : Piece::kRefused;
    default:
      return Piece::kRefused;
  }
}

// The conversion after a '%' that does not start "%%"; `at` moves past it
// unless it is refused.
Piece conversion(const char*& at) noexcept {
  const char* start = at;
  const char* end = skip_amount(skip_flags(start));
  if (end != nullptr && *end == '.') {
    end = skip_amount(end + 1);
  }
  if (end == nullptr) {
    return Piece::kRefused;
  }
  const bool plain = end == start;
  const Length length = length_modifier(end);
  const Piece piece = classify(*end, plain, length);
  if (piece != Piece::kRefused) {
    at = end + 1;
  }
  return piece;
}

}  // namespace

bool renders_as_printf(const char* format) noexcept {
  if (format == nullptr) {
    return false;
  }
  bool exact_piece = false;
  const char* at = format;
  while (*at != '\0') {
    const char* percent = std::strchr(at, '%');
    if (percent == nullptr) {
      return true;  // the rest is literal text
    }
    exact_piece = exact_piece || percent != at || percent[1] == '%';
    at = percent + 1;
    if (*at == '%') {
      ++at;
      continue;
    }
    const Piece piece = conversion(at);
    if (piece == Piece::kRefused) {
      return false;
    }
    exact_piece = exact_piece || piece == Piece::kExact;
  }
  return exact_piece;
}

}  // namespace xoltlog
