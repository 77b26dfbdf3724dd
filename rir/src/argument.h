// The argument of one conversion, read from the list exactly as printf
// would read it, with its '*' width and precision resolved.
#pragma once

#include <cstdint>
#include <cwchar>

#include "format_parser.h"
#include "va_args.h"
#include "xoltlog/rir.h"

namespace xoltlog::rir {

struct Argument {
  bool has_width = false;
  bool left_aligned = false;  // a negative '*' width
  long long width = 0;        // magnitude; an INT_MIN '*' does not fit an int
  int precision = -1;         // -1: none, also for a negative '*'
  std::uint32_t bits = 0;     // integers: size of the type printf converts to
  std::int64_t signed_value = 0;
  std::uint64_t unsigned_value = 0;
  long double real = 0;
  int character = 0;
  wint_t wide_char = 0;
  const char* text = nullptr;
  const wchar_t* wide_text = nullptr;
  const void* pointer = nullptr;
  const XoltRirMsg* message = nullptr;
};

Argument read_argument(const Conversion& conversion, VaArgs& args) noexcept;

}  // namespace xoltlog::rir
