#include "writer/name_fields.h"

#include <charconv>

namespace xoltlog {

bool all_digits(std::string_view text) noexcept {
  if (text.empty()) {
    return false;
  }
  for (const char c : text) {
    if (c < '0' || c > '9') {
      return false;
    }
  }
  return true;
}

int two_digits(std::string_view text) noexcept { return (text[0] - '0') * 10 + (text[1] - '0'); }

std::optional<std::string_view> NameFields::next_field() noexcept {
  if (exhausted_) {
    return std::nullopt;
  }
  const std::size_t dash = rest_.find('-');
  const std::string_view field = rest_.substr(0, dash);
  if (dash == std::string_view::npos) {
    exhausted_ = true;
    rest_ = {};
  } else {
    rest_.remove_prefix(dash + 1);
  }
  return field;
}

std::optional<std::int64_t> NameFields::next_signed_number() noexcept {
  const std::optional<std::string_view> field = next_field();
  if (!field) {
    return std::nullopt;
  }
  std::int64_t value = 0;
  const char* end = field->data() + field->size();
  const auto [stop, error] = std::from_chars(field->data(), end, value);
  if (error != std::errc{} || stop != end) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::uint32_t> NameFields::next_unsigned_prefix() noexcept {
  const std::optional<std::string_view> field = next_field();
  if (!field) {
    return std::nullopt;
  }
  std::uint32_t value = 0;
  const auto [stop, error] = std::from_chars(field->data(), field->data() + field->size(), value);
  if (error != std::errc{} || stop == field->data()) {
    return std::nullopt;
  }
  return value;
}

}  // namespace xoltlog
