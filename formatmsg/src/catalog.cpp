#include "catalog.h"

#include <charconv>

namespace xoltlog::fmt {
namespace {

constexpr std::string_view kBlank = " \t";
constexpr std::size_t kMaxInsertion = 99;

std::string_view trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlank);
  if (first == std::string_view::npos) {
    return {};
  }
  const std::size_t last = text.find_last_not_of(kBlank);
  return text.substr(first, last - first + 1);
}

// "<id> = <template>" into id and tmpl; false for anything else.
bool split_line(std::string_view line, std::uint32_t& id, std::string_view& tmpl) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    return false;
  }
  const std::string_view number = trim(line.substr(0, equals));
  if (number.empty()) {
    return false;
  }
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), id);
  if (error != std::errc{} || end != number.data() + number.size() || id == 0) {
    return false;
  }
  tmpl = trim(line.substr(equals + 1));
  return true;
}

}  // namespace

Catalog Catalog::parse(std::string_view content) {
  Catalog catalog;
  while (!content.empty()) {
    const std::size_t end = content.find('\n');
    std::string_view line = content.substr(0, end);
    content = end == std::string_view::npos ? std::string_view{} : content.substr(end + 1);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    std::uint32_t id = 0;
    std::string_view tmpl;
    const std::string_view lead = trim(line);
    if (lead.empty() || lead.front() == '#' || !split_line(line, id, tmpl)) {
      continue;
    }
    if (catalog.templates_.try_emplace(id, tmpl).second) {
      catalog.bytes_ += tmpl.size() + sizeof(std::uint32_t);
    }
  }
  return catalog;
}

const std::string* Catalog::find(std::uint32_t id) const {
  const auto found = templates_.find(id);
  return found == templates_.end() ? nullptr : &found->second;
}

void expand_template(std::string_view tmpl, std::span<const std::string> args, std::string& out) {
  std::size_t at = 0;
  while (at < tmpl.size()) {
    const std::size_t percent = tmpl.find('%', at);
    out.append(tmpl.substr(at, percent - at));
    if (percent == std::string_view::npos) {
      return;
    }
    if (percent + 1 < tmpl.size() && tmpl[percent + 1] == '%') {
      out.push_back('%');
      at = percent + 2;
      continue;
    }
    std::size_t digits_end = percent + 1;
    std::size_t number = 0;
    while (digits_end < tmpl.size() && digits_end < percent + 3 && tmpl[digits_end] >= '0' &&
           tmpl[digits_end] <= '9') {
      number = number * 10 + static_cast<std::size_t>(tmpl[digits_end] - '0');
      ++digits_end;
    }
    if (number >= 1 && number <= kMaxInsertion && number <= args.size()) {
      out.append(args[number - 1]);
    } else {
      out.append(tmpl.substr(percent, digits_end == percent + 1 ? 1 : digits_end - percent));
    }
    at = digits_end == percent + 1 ? percent + 1 : digits_end;
  }
}

}  // namespace xoltlog::fmt
