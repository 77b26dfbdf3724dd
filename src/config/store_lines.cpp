#include "config/store_lines.h"

#include <limits>
#include <utility>

namespace xoltlog {
namespace {

constexpr std::string_view kLogset = "LOGSET";
constexpr std::string_view kLogsetPrefix = "LOGSET.";
constexpr std::string_view kBlanks = " \t";

std::pair<std::string_view, std::string_view> two_tokens(std::string_view line,
                                                         std::string_view delimiters) noexcept {
  const std::size_t first_end = line.find_first_of(delimiters);
  if (first_end == std::string_view::npos) {
    return {line, {}};
  }
  const std::string_view rest = line.substr(first_end + 1);
  return {line.substr(0, first_end), rest.substr(0, rest.find_first_of(delimiters))};
}

bool holds_any(std::string_view text, std::string_view characters) noexcept {
  return text.find_first_of(characters) != std::string_view::npos;
}

bool is_writable_section(std::string_view section) noexcept {
  if (holds_any(section, "=\r\n")) {
    return false;
  }
  if (!section.starts_with(kLogsetPrefix)) {
    return section != kLogset && !holds_any(section, ".");
  }
  const std::string_view logset = section.substr(kLogsetPrefix.size());
  return !logset.empty() && !holds_any(logset, ".");
}

}  // namespace

std::string property_key(std::string_view section, std::string_view name) {
  std::string key(section);
  if (!key.empty()) {
    key += '.';
  }
  key += name;
  return key;
}

bool is_comment_line(std::string_view line) noexcept {
  const std::size_t first = line.find_first_not_of(kBlanks);
  return first != std::string_view::npos && line[first] == '#';
}

bool line_has_key(std::string_view line, std::string_view key) noexcept {
  const std::size_t equals = line.find('=');
  return equals != std::string_view::npos && line.substr(0, equals) == key;
}

std::string_view line_value(std::string_view line) noexcept {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    return {};
  }
  const std::string_view rest = line.substr(equals + 1);
  return rest.substr(0, rest.find('=')).substr(0, kMaxStoreValueBytes);
}

bool line_in_section(std::string_view line, std::string_view section,
                     std::string_view delimiters) noexcept {
  const auto [first, second] = two_tokens(line, delimiters);
  if (first == kLogset) {
    return section.starts_with(kLogsetPrefix) && section.substr(kLogsetPrefix.size()) == second;
  }
  return first == section;
}

std::optional<std::string_view> product_of_line(std::string_view line) noexcept {
  const std::size_t dot = line.find('.');
  if (dot == std::string_view::npos || holds_any(line.substr(0, dot), "=")) {
    return std::nullopt;
  }
  return line.substr(0, dot);
}

std::optional<std::string_view> logset_of_line(std::string_view line) noexcept {
  if (!line.starts_with(kLogset)) {
    return std::nullopt;
  }
  const std::string_view logset = two_tokens(line, kRemovalDelimiters).second;
  const std::string_view name = logset.substr(0, logset.find('='));
  return name.empty() ? std::nullopt : std::optional(name);
}

bool is_writable_property(std::string_view section, std::string_view name,
                          std::string_view value) noexcept {
  const std::string_view key_start = section.empty() ? name : section;
  return is_writable_section(section) && !name.empty() && !holds_any(name, "=\r\n") &&
         !holds_any(value, "\r\n") && value.size() <= kMaxStoreValueBytes &&
         !is_comment_line(key_start);
}

std::uint32_t parse_store_number(std::string_view text) noexcept {
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
  std::size_t at = text.find_first_not_of(" \t\n\v\f\r");
  at = at == std::string_view::npos ? text.size() : at;
  const bool negative = at < text.size() && text[at] == '-';
  at += at < text.size() && (text[at] == '-' || text[at] == '+') ? 1u : 0u;
  std::uint64_t number = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    number = number * 10 + static_cast<std::uint64_t>(text[at] - '0');
    if (number > kMax) {
      return static_cast<std::uint32_t>(kMax);
    }
  }
  const auto magnitude = static_cast<std::uint32_t>(number);
  return negative ? static_cast<std::uint32_t>(0u - magnitude) : magnitude;
}

}  // namespace xoltlog
