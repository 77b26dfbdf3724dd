#include "message/printf_direct.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace xoltlog {
namespace {

// printf's spelling of a null %s.
constexpr std::string_view kNullText = "(null)";

enum class Length { kNone, kChar, kShort, kLong, kLongLong, kMax, kSize, kPtrdiff };

// The integer length modifier at `at`, which moves past it.
Length length_modifier(const char*& at) noexcept {
  if (at[0] == 'h' && at[1] == 'h') {
    at += 2;
    return Length::kChar;
  }
  if (at[0] == 'l' && at[1] == 'l') {
    at += 2;
    return Length::kLongLong;
  }
  Length length = Length::kNone;
  switch (*at) {
    case 'h':
      length = Length::kShort;
      break;
    case 'l':
      length = Length::kLong;
      break;
    case 'j':
      length = Length::kMax;
      break;
    case 'z':
      length = Length::kSize;
      break;
    case 't':
      length = Length::kPtrdiff;
      break;
    default:
      return Length::kNone;
  }
  ++at;
  return length;
}

// The argument as printf reads it for the length, narrowed as printf
// narrows hh and h.
std::int64_t signed_argument(Length length, va_list& args) noexcept {
  switch (length) {
    case Length::kChar:
      return static_cast<signed char>(va_arg(args, int));
    case Length::kShort:
      return static_cast<short>(va_arg(args, int));
    case Length::kLong:
      return va_arg(args, long);
    case Length::kLongLong:
      return va_arg(args, long long);
    case Length::kMax:
      return va_arg(args, std::intmax_t);
    case Length::kSize:
      return va_arg(args, std::make_signed_t<std::size_t>);
    case Length::kPtrdiff:
      return va_arg(args, std::ptrdiff_t);
    default:
      return va_arg(args, int);
  }
}

std::uint64_t unsigned_argument(Length length, va_list& args) noexcept {
  switch (length) {
    case Length::kChar:
      return static_cast<unsigned char>(va_arg(args, unsigned));
    case Length::kShort:
      return static_cast<unsigned short>(va_arg(args, unsigned));
    case Length::kLong:
      return va_arg(args, unsigned long);
    case Length::kLongLong:
      return va_arg(args, unsigned long long);
    case Length::kMax:
      return va_arg(args, std::uintmax_t);
    case Length::kSize:
      return va_arg(args, std::size_t);
    case Length::kPtrdiff:
      return va_arg(args, std::make_unsigned_t<std::ptrdiff_t>);
    default:
      return va_arg(args, unsigned);
  }
}

// Appends to a buffer of fixed size, keeping room for the terminator.
class Output {
 public:
  Output(char* out, std::size_t capacity) noexcept : start_(out), at_(out), end_(out + capacity) {}

  bool put(const char* bytes, std::size_t count) noexcept {
    if (count >= static_cast<std::size_t>(end_ - at_)) {
      return false;
    }
    std::memcpy(at_, bytes, count);
    at_ += count;
    return true;
  }
  bool put_decimal(std::uint64_t magnitude, bool negative) noexcept {
    char digits[24];
    char* first = digits + sizeof digits;
    do {
      *--first = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (negative) {
      *--first = '-';
    }
    return put(first, static_cast<std::size_t>(digits + sizeof digits - first));
  }
  int finish() noexcept {
    *at_ = '\0';
    return static_cast<int>(at_ - start_);
  }

 private:
  char* start_;
  char* at_;
  char* end_;
};

// One conversion after its '%'; false when it is not one of ours or does
// not fit. `text` is set when the piece is more than a plain integer.
bool convert(const char*& at, va_list& args, Output& out, bool& text) noexcept {
  if (*at == 's') {
    ++at;
    text = true;
    const char* value = va_arg(args, const char*);
    return value == nullptr ? out.put(kNullText.data(), kNullText.size())
                            : out.put(value, std::strlen(value));
  }
  const Length length = length_modifier(at);
  switch (*at++) {
    case 'd':
    case 'i': {
      const std::int64_t value = signed_argument(length, args);
      const std::uint64_t magnitude =
          value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
      return out.put_decimal(magnitude, value < 0);
    }
    case 'u':
      return out.put_decimal(unsigned_argument(length, args), false);
    default:
      return false;
  }
}

int render(char* out, std::size_t capacity, const char* format, va_list& args) noexcept {
  Output output(out, capacity);
  bool text = false;  // a piece other than a plain integer
  const char* at = format;
  while (*at != '\0') {
    const char* percent = std::strchr(at, '%');
    const std::size_t literal =
        percent == nullptr ? std::strlen(at) : static_cast<std::size_t>(percent - at);
    if (literal != 0) {
      text = true;
      if (!output.put(at, literal)) {
        return -1;
      }
    }
    if (percent == nullptr) {
      break;
    }
    at = percent + 1;
    if (*at == '%') {
      text = true;
      ++at;
      if (!output.put("%", 1)) {
        return -1;
      }
    } else if (!convert(at, args, output, text)) {
      return -1;
    }
  }
  return text ? output.finish() : -1;
}

}  // namespace

int render_plain_printf(char* out, std::size_t capacity, const char* format,
                        va_list args) noexcept {
  if (format == nullptr || capacity == 0) {
    return -1;
  }
  va_list copy;
  va_copy(copy, args);
  const int length = render(out, capacity, format, copy);
  va_end(copy);
  return length;
}

}  // namespace xoltlog
