#include "argument.h"

#include <climits>
#include <cstddef>
#include <type_traits>

namespace xoltlog::rir {
namespace {

template <typename T>
void set_signed(T value, Argument& argument) noexcept {
  argument.bits = static_cast<std::uint32_t>(CHAR_BIT * sizeof(T));
  argument.signed_value = static_cast<std::int64_t>(value);
}

template <typename T>
void set_unsigned(T value, Argument& argument) noexcept {
  argument.bits = static_cast<std::uint32_t>(CHAR_BIT * sizeof(T));
  argument.unsigned_value = static_cast<std::uint64_t>(value);
}

// hh and h arguments arrive promoted to int; narrowing them again is the
// conversion printf itself applies (%hhd of 300 prints 44).
void read_signed(Length length, VaArgs& args, Argument& argument) noexcept {
  switch (length) {
    case Length::kChar: return set_signed(static_cast<signed char>(args.next<int>()), argument);
    case Length::kShort: return set_signed(static_cast<short>(args.next<int>()), argument);
    case Length::kLong: return set_signed(args.next<long>(), argument);
    case Length::kLongLong: return set_signed(args.next<long long>(), argument);
    case Length::kMax: return set_signed(args.next<std::intmax_t>(), argument);
    case Length::kSize: return set_signed(args.next<std::make_signed_t<std::size_t>>(), argument);
    case Length::kPtrdiff: return set_signed(args.next<std::ptrdiff_t>(), argument);
    default: return set_signed(args.next<int>(), argument);
  }
}

void read_unsigned(Length length, VaArgs& args, Argument& argument) noexcept {
  using UnsignedPtrdiff = std::make_unsigned_t<std::ptrdiff_t>;
  switch (length) {
    case Length::kChar:
      return set_unsigned(static_cast<unsigned char>(args.next<unsigned>()), argument);
    case Length::kShort:
      return set_unsigned(static_cast<unsigned short>(args.next<unsigned>()), argument);
    case Length::kLong: return set_unsigned(args.next<unsigned long>(), argument);
    case Length::kLongLong: return set_unsigned(args.next<unsigned long long>(), argument);
    case Length::kMax: return set_unsigned(args.next<std::uintmax_t>(), argument);
    case Length::kSize: return set_unsigned(args.next<std::size_t>(), argument);
    case Length::kPtrdiff: return set_unsigned(args.next<UnsignedPtrdiff>(), argument);
    default: return set_unsigned(args.next<unsigned>(), argument);
  }
}

void read_amounts(const Conversion& conversion, VaArgs& args, Argument& argument) noexcept {
  if (conversion.width.kind == Amount::Kind::kStar) {
    const long long width = args.next<int>();
    argument.left_aligned = width < 0;
    argument.width = width < 0 ? -width : width;
  } else {
    argument.width = conversion.width.digits;
  }
  argument.has_width = conversion.width.kind != Amount::Kind::kNone;
  if (conversion.precision.kind == Amount::Kind::kStar) {
    const int precision = args.next<int>();
    argument.precision = precision < 0 ? -1 : precision;
  } else if (conversion.precision.kind == Amount::Kind::kDigits) {
    argument.precision = conversion.precision.digits;
  }
}

void read_printf_value(const Conversion& conversion, VaArgs& args, Argument& argument) noexcept {
  const bool wide = conversion.length == Length::kLong;
  switch (conversion.category) {
    case Category::kSigned: return read_signed(conversion.length, args, argument);
    case Category::kUnsigned: return read_unsigned(conversion.length, args, argument);
    case Category::kDouble:
      argument.real = conversion.length == Length::kLongDouble ? args.next<long double>()
                                                                : args.next<double>();
      return;
    case Category::kChar:
      if (wide) {
        argument.wide_char = args.next<wint_t>();
      } else {
        argument.character = args.next<int>();
      }
      return;
    case Category::kString:
      if (wide) {
        argument.wide_text = args.next<const wchar_t*>();
      } else {
        argument.text = args.next<const char*>();
      }
      return;
    case Category::kPointer: argument.pointer = args.next<const void*>(); return;
    default: return;  // %m reads nothing
  }
}

void read_extra_value(Category category, VaArgs& args, Argument& argument) noexcept {
  switch (category) {
    case Category::kOsError: return set_signed(args.next<int>(), argument);
    case Category::kOsError64:
    case Category::kTime: return set_signed(args.next<std::int64_t>(), argument);
    case Category::kUtf8: argument.text = args.next<const char*>(); return;
    case Category::kMessage: argument.message = args.next<const XoltRirMsg*>(); return;
    default: return;
  }
}

}  // namespace

Argument read_argument(const Conversion& conversion, VaArgs& args) noexcept {
  Argument argument;
  if (conversion.is_extra()) {
    read_extra_value(conversion.category, args, argument);
  } else {
    read_amounts(conversion, args, argument);
    read_printf_value(conversion, args, argument);
  }
  return argument;
}

}  // namespace xoltlog::rir
