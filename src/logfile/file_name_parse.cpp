#include "logfile/file_name_parse.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <limits>

namespace xoltlog {
namespace {

constexpr char kSeparator = '-';
constexpr std::size_t kStampLength = 12;

bool is_digit(char c) noexcept { return c >= '0' && c <= '9'; }

std::size_t digit_run(std::string_view text, std::size_t width) noexcept {
  const std::size_t limit = std::min(width, text.size());
  std::size_t count = 0;
  while (count < limit && is_digit(text[count])) {
    ++count;
  }
  return count;
}

// Reads one to width digits off the front of text, as a scanf field of that
// width would, except that signs and blanks are not numbers here.
std::optional<std::uint64_t> take_number(std::string_view& text, std::size_t width) noexcept {
  const std::size_t count = digit_run(text, width);
  std::uint64_t value = 0;
  if (count == 0 || std::from_chars(text.data(), text.data() + count, value).ec != std::errc{}) {
    return std::nullopt;
  }
  text.remove_prefix(count);
  return value;
}

bool take_char(std::string_view& text, char expected) noexcept {
  if (text.empty() || text.front() != expected) {
    return false;
  }
  text.remove_prefix(1);
  return true;
}

}  // namespace

std::optional<std::string_view> NameFields::next() noexcept {
  const std::size_t start = rest_.find_first_not_of(kSeparator);
  if (start == std::string_view::npos) {
    rest_ = {};
    return std::nullopt;
  }
  rest_.remove_prefix(start);
  const std::size_t end = std::min(rest_.find(kSeparator), rest_.size());
  const std::string_view field = rest_.substr(0, end);
  rest_.remove_prefix(end);
  return field;
}

std::uint32_t leading_number(std::string_view field) noexcept {
  std::uint32_t value = 0;
  const std::size_t count = digit_run(field, field.size());
  if (count == 0 || std::from_chars(field.data(), field.data() + count, value).ec != std::errc{}) {
    return 0;
  }
  return value;
}

bool ids_from_file_name(std::string_view name, std::uint32_t& product_id,
                        std::uint32_t& originator_id) noexcept {
  NameFields fields(name);
  for (std::uint32_t* output : {&product_id, &originator_id}) {
    if (const std::optional<std::string_view> field = fields.next()) {
      *output = leading_number(*field);
    }
  }
  return product_id != 0 && originator_id != 0;
}

bool logset_fields_from_file_name(std::string_view name, std::uint32_t& product_id, char* set_name,
                                  char* date_time) noexcept {
  NameFields fields(name);
  if (const std::optional<std::string_view> product = fields.next()) {
    product_id = leading_number(*product);
  }
  const std::string_view set = fields.next().value_or(std::string_view{});
  set_name[set.copy(set_name, set.size())] = '\0';
  if (const std::optional<std::string_view> stamp = fields.next()) {
    date_time[stamp->copy(date_time, kStampLength)] = '\0';
  }
  return product_id != 0 && !set.empty();
}

std::optional<OrdinaryNameDate> ordinary_name_date(std::string_view after_host) noexcept {
  std::string_view text = after_host;
  const std::optional<std::uint64_t> year = take_number(text, 2);
  const std::optional<std::uint64_t> month = year ? take_number(text, 2) : std::nullopt;
  const std::optional<std::uint64_t> day = month ? take_number(text, 2) : std::nullopt;
  if (!day || !take_char(text, kSeparator)) {
    return std::nullopt;
  }
  const std::optional<std::uint64_t> counter = take_number(text, 10);
  if (!counter || *counter > std::numeric_limits<std::uint32_t>::max() || !take_char(text, '.')) {
    return std::nullopt;
  }
  return OrdinaryNameDate{static_cast<int>(*year), static_cast<int>(*month), static_cast<int>(*day),
                          static_cast<std::uint32_t>(*counter)};
}

bool is_logset_stamp(std::string_view stamp) noexcept {
  return stamp.size() == kStampLength && digit_run(stamp, kStampLength) == kStampLength;
}

}  // namespace xoltlog
