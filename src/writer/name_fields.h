// Reading the "-"-separated fields of a bare log file name, bounds-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace xoltlog {

bool all_digits(std::string_view text) noexcept;
// The value of exactly two decimal digits.
int two_digits(std::string_view text) noexcept;

class NameFields {
 public:
  explicit NameFields(std::string_view name) noexcept : rest_(name) {}

  // The text up to the next "-" (or the end), consumed with its "-";
  // nothing when no text is left.
  std::optional<std::string_view> next_field() noexcept;
  // A field that is an optionally signed decimal number.
  std::optional<std::int64_t> next_signed_number() noexcept;
  // The decimal digits at the start of the next field (the rest of it, such
  // as ".log", is ignored), as a 32-bit number.
  std::optional<std::uint32_t> next_unsigned_prefix() noexcept;

 private:
  std::string_view rest_;
  bool exhausted_ = false;
};

}  // namespace xoltlog
