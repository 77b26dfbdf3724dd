#include "format_parser.h"

#include <array>
#include <climits>
#include <utility>

#include "xoltlog/rir.h"

namespace xoltlog::rir {
namespace {

constexpr std::string_view kFlags = "-+ #0'";

constexpr std::array<std::pair<std::string_view, Category>, 5> kExtras{{
    {"oserr", Category::kOsError},
    {"oserr64", Category::kOsError64},
    {"time", Category::kTime},
    {"utf8", Category::kUtf8},
    {"rir", Category::kMessage},
}};

bool is_digit(char c) noexcept { return c >= '0' && c <= '9'; }

// %n is deliberately absent: a log call must never write through its
// arguments. So is '$': a positional argument (%1$d) stops the parse there
// and is refused as an unknown conversion.
bool categorize(char letter, Category& category) noexcept {
  switch (letter) {
    case 'd': case 'i': category = Category::kSigned; return true;
    case 'o': case 'u': case 'x': case 'X': category = Category::kUnsigned; return true;
    case 'f': case 'F': case 'e': case 'E':
    case 'g': case 'G': case 'a': case 'A': category = Category::kDouble; return true;
    case 'c': category = Category::kChar; return true;
    case 's': category = Category::kString; return true;
    case 'p': category = Category::kPointer; return true;
    case 'm': category = Category::kErrno; return true;
    default: return false;
  }
}

// Combinations printf leaves undefined are refused rather than guessed at.
bool length_fits(Category category, Length length) noexcept {
  switch (category) {
    case Category::kSigned:
    case Category::kUnsigned: return length != Length::kLongDouble;
    case Category::kDouble:
      return length == Length::kNone || length == Length::kLong || length == Length::kLongDouble;
    case Category::kChar:
    case Category::kString: return length == Length::kNone || length == Length::kLong;
    default: return length == Length::kNone;
  }
}

}  // namespace

std::int32_t FormatCursor::next(Token& token) noexcept {
  token = Token{};
  if (rest_.empty()) {
    return XOLT_RIR_OK;
  }
  if (rest_.front() != '%') {
    token.kind = Token::Kind::kLiteral;
    token.literal = rest_.substr(0, rest_.find('%'));
    rest_.remove_prefix(token.literal.size());
    return XOLT_RIR_OK;
  }
  rest_.remove_prefix(1);
  if (!rest_.empty() && rest_.front() == '%') {
    token.kind = Token::Kind::kLiteral;
    token.literal = rest_.substr(0, 1);
    rest_.remove_prefix(1);
    return XOLT_RIR_OK;
  }
  token.kind = Token::Kind::kConversion;
  return parse_conversion(token.conversion);
}

std::int32_t FormatCursor::parse_conversion(Conversion& conversion) noexcept {
  if (!rest_.empty() && rest_.front() == '{') {
    return parse_extra(conversion);
  }
  parse_flags(conversion);
  if (!parse_amount(conversion.width) || !parse_precision(conversion.precision)) {
    return XOLT_RIR_EINVAL;
  }
  parse_length(conversion);
  if (rest_.empty()) {
    return XOLT_RIR_EINVAL;
  }
  conversion.letter = rest_.front();
  rest_.remove_prefix(1);
  const bool known = categorize(conversion.letter, conversion.category);
  return known && length_fits(conversion.category, conversion.length) ? XOLT_RIR_OK
                                                                      : XOLT_RIR_EINVAL;
}

// Brace conversions take nothing between '%' and '{': their values are
// stored typed, so a width could never be honoured.
std::int32_t FormatCursor::parse_extra(Conversion& conversion) noexcept {
  const std::size_t close = rest_.find('}');
  if (close == std::string_view::npos) {
    return XOLT_RIR_EINVAL;
  }
  const std::string_view name = rest_.substr(1, close - 1);
  rest_.remove_prefix(close + 1);
  for (const auto& [extra_name, category] : kExtras) {
    if (name == extra_name) {
      conversion.category = category;
      return XOLT_RIR_OK;
    }
  }
  return XOLT_RIR_EINVAL;
}

void FormatCursor::parse_flags(Conversion& conversion) noexcept {
  std::size_t count = 0;
  while (count < rest_.size() && kFlags.find(rest_[count]) != std::string_view::npos) {
    ++count;
  }
  conversion.flags = rest_.substr(0, count);
  rest_.remove_prefix(count);
}

// False when the digits do not fit an int, which printf could not honour.
bool FormatCursor::parse_amount(Amount& amount) noexcept {
  if (!rest_.empty() && rest_.front() == '*') {
    rest_.remove_prefix(1);
    amount.kind = Amount::Kind::kStar;
    return true;
  }
  long long value = 0;
  std::size_t count = 0;
  for (; count < rest_.size() && is_digit(rest_[count]); ++count) {
    value = value * 10 + (rest_[count] - '0');
    if (value > INT_MAX) {
      return false;
    }
  }
  if (count > 0) {
    amount.kind = Amount::Kind::kDigits;
    amount.digits = static_cast<int>(value);
    rest_.remove_prefix(count);
  }
  return true;
}

bool FormatCursor::parse_precision(Amount& precision) noexcept {
  if (rest_.empty() || rest_.front() != '.') {
    return true;
  }
  rest_.remove_prefix(1);
  if (!parse_amount(precision)) {
    return false;
  }
  if (precision.kind == Amount::Kind::kNone) {
    precision.kind = Amount::Kind::kDigits;  // a bare '.' means 0
  }
  return true;
}

void FormatCursor::parse_length(Conversion& conversion) noexcept {
  static constexpr std::array<std::pair<std::string_view, Length>, 8> kLengths{{
      {"hh", Length::kChar},
      {"h", Length::kShort},
      {"ll", Length::kLongLong},
      {"l", Length::kLong},
      {"j", Length::kMax},
      {"z", Length::kSize},
      {"t", Length::kPtrdiff},
      {"L", Length::kLongDouble},
  }};
  for (const auto& [spelling, length] : kLengths) {
    if (rest_.starts_with(spelling)) {
      conversion.length = length;
      rest_.remove_prefix(spelling.size());
      return;
    }
  }
}

}  // namespace xoltlog::rir
