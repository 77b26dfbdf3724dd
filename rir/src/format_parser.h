// Splits a format into literal text and conversions. Everything a conversion
// needs later (which argument to read, how printf would spell it again) is
// captured here, so the builders never look at the format characters.
#pragma once

#include <cstdint>
#include <string_view>

#include "xoltlog/rir.h"

namespace xoltlog::rir {

enum class Length : std::uint8_t {
  kNone,
  kChar,      // hh
  kShort,     // h
  kLong,      // l
  kLongLong,  // ll
  kMax,       // j
  kSize,      // z
  kPtrdiff,   // t
  kLongDouble // L
};

// What a conversion reads and stores; the brace conversions have their own.
enum class Category : std::uint8_t {
  kSigned,
  kUnsigned,
  kDouble,
  kChar,
  kString,
  kPointer,
  kErrno,
  kOsError,
  kOsError64,
  kTime,
  kUtf8,
  kMessage
};

// A width or precision as written: absent, digits, or '*'.
struct Amount {
  enum class Kind : std::uint8_t { kNone, kDigits, kStar };
  Kind kind = Kind::kNone;
  int digits = 0;
};

struct Conversion {
  std::string_view flags;
  Amount width;
  Amount precision;
  Length length = Length::kNone;
  Category category = Category::kSigned;
  char letter = 0;  // the printf conversion character; 0 for a brace one

  bool is_extra() const noexcept { return letter == 0; }
  bool is_plain() const noexcept {
    return flags.empty() && width.kind == Amount::Kind::kNone &&
           precision.kind == Amount::Kind::kNone;
  }
};

struct Token {
  enum class Kind : std::uint8_t { kLiteral, kConversion, kEnd };
  Kind kind = Kind::kEnd;
  std::string_view literal;  // kLiteral: text as printf prints it ("%" for "%%")
  Conversion conversion;     // kConversion
};

class FormatCursor {
 public:
  explicit FormatCursor(const char* format) noexcept : rest_(format) {}

  // The next token; XOLT_RIR_EINVAL for a malformed or unsupported
  // conversion, after which the cursor must not be used.
  std::int32_t next(Token& token) noexcept;

 private:
  std::int32_t parse_conversion(Conversion& conversion) noexcept;
  std::int32_t parse_extra(Conversion& conversion) noexcept;
  void parse_flags(Conversion& conversion) noexcept;
  bool parse_amount(Amount& amount) noexcept;
  bool parse_precision(Amount& precision) noexcept;
  void parse_length(Conversion& conversion) noexcept;

  std::string_view rest_;
};

// Hands every token, the final kEnd included, to visit, and stops at the
// first status other than XOLT_RIR_OK (the cursor's or visit's).
template <typename Visit>
std::int32_t for_each_token(const char* format, Visit&& visit) {
  FormatCursor cursor(format);
  Token token;
  for (;;) {
    std::int32_t status = cursor.next(token);
    if (status == XOLT_RIR_OK) {
      status = visit(token);
    }
    if (status != XOLT_RIR_OK || token.kind == Token::Kind::kEnd) {
      return status;
    }
  }
}

}  // namespace xoltlog::rir
