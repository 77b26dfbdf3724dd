#include "render.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

namespace xoltlog::rir {
namespace {

// Integers were already narrowed the way printf narrows them, so every
// integer conversion is spelled with ll and handed the 64-bit value.
std::string_view render_length(const Conversion& conversion) noexcept {
  switch (conversion.category) {
    case Category::kSigned:
    case Category::kUnsigned: return "ll";
    case Category::kDouble: return conversion.length == Length::kLongDouble ? "L" : "";
    case Category::kChar:
    case Category::kString: return conversion.length == Length::kLong ? "l" : "";
    default: return "";
  }
}

std::string spell(const Conversion& conversion, const Argument& argument) {
  std::string directive = "%";
  directive += conversion.flags;
  if (argument.left_aligned) {
    directive += '-';  // how printf reads a negative '*' width
  }
  if (argument.has_width) {
    directive += std::to_string(argument.width);
  }
  if (argument.precision >= 0) {
    directive += '.';
    directive += std::to_string(argument.precision);
  }
  directive += render_length(conversion);
  directive += conversion.letter;
  return directive;
}

template <typename... Values>
int print(char* buffer, std::size_t size, const std::string& directive, Values... values) noexcept {
  // The directive is rebuilt by spell() from a conversion the parser
  // accepted, and the value passed matches the length spell() wrote; %m
  // passes none.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
  return std::snprintf(buffer, size, directive.c_str(), values...);
#pragma GCC diagnostic pop
}

// errno is set before each call so that %m prints the caller's error, not
// whatever the library did to errno meanwhile.
template <typename... Values>
std::int32_t print_owned(const std::string& directive, int saved_errno, TextPtr& text,
                         Values... values) {
  errno = saved_errno;
  const int size = print(nullptr, 0, directive, values...);
  if (size < 0) {
    return XOLT_RIR_EFAIL;
  }
  const auto capacity = static_cast<std::size_t>(size) + 1;
  TextPtr buffer(new char[capacity]);
  errno = saved_errno;
  if (print(buffer.get(), capacity, directive, values...) != size) {
    return XOLT_RIR_EFAIL;
  }
  text = std::move(buffer);
  return XOLT_RIR_OK;
}

}  // namespace

std::int32_t render_conversion(const Conversion& conversion, const Argument& argument,
                               int saved_errno, TextPtr& text) {
  const std::string directive = spell(conversion, argument);
  const bool wide = conversion.length == Length::kLong;
  switch (conversion.category) {
    case Category::kSigned:
      return print_owned(directive, saved_errno, text,
                         static_cast<long long>(argument.signed_value));
    case Category::kUnsigned:
      return print_owned(directive, saved_errno, text,
                         static_cast<unsigned long long>(argument.unsigned_value));
    case Category::kDouble:
      if (conversion.length == Length::kLongDouble) {
        return print_owned(directive, saved_errno, text, argument.real);
      }
      return print_owned(directive, saved_errno, text, static_cast<double>(argument.real));
    case Category::kChar:
      return wide ? print_owned(directive, saved_errno, text, argument.wide_char)
                  : print_owned(directive, saved_errno, text, argument.character);
    case Category::kString:
      return wide ? print_owned(directive, saved_errno, text, argument.wide_text)
                  : print_owned(directive, saved_errno, text, argument.text);
    case Category::kPointer: return print_owned(directive, saved_errno, text, argument.pointer);
    default: return print_owned(directive, saved_errno, text);  // %m reads errno
  }
}

}  // namespace xoltlog::rir
