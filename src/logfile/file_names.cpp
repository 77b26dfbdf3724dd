#include "logfile/file_names.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "logfile/file_name_parse.h"

namespace xoltlog {
namespace {

constexpr int kYearOffset = 1900 - 2000;  // tm_year counts from 1900, names from 2000

// Formats into a string sized by a first, measuring pass of print(out, size),
// which wraps one snprintf call. Only the string's allocation can fail, and
// that throws: the exported operation turns it into its memory code.
template <typename Print>
std::string format_name(Print print) {
  const int length = print(nullptr, 0);
  std::string name(static_cast<std::size_t>(length < 0 ? 0 : length), '\0');
  print(name.data(), name.size() + 1);
  return name;
}

}  // namespace

FileDate file_date_of(const std::tm& local) noexcept {
  return FileDate{local.tm_sec,  local.tm_min,  local.tm_hour,
                  local.tm_mday, local.tm_mon + 1, local.tm_year + kYearOffset,
                  local.tm_wday, local.tm_yday, local.tm_isdst};
}

void advance_day_counter(FileDate& current, std::uint32_t& counter, const std::tm& now) noexcept {
  const FileDate today = file_date_of(now);
  if (today.day != current.day || today.month != current.month || today.year != current.year) {
    current = today;
    counter = 0;
  } else {
    ++counter;
  }
}

std::string ordinary_log_name(std::string_view directory, std::uint32_t product,
                              std::uint32_t originator, std::uint32_t host_number,
                              const FileDate& date, std::uint32_t counter) {
  return format_name([&](char* out, std::size_t size) {
    return std::snprintf(out, size,
                         "%.*s%" PRIu32 "-%" PRIu32 "-%" PRIu32 "-%02d%02d%02d-%010" PRIu32 ".log",
                         static_cast<int>(directory.size()), directory.data(), product, originator,
                         host_number, date.year, date.month, date.day, counter);
  });
}

std::string logset_log_name(std::string_view directory, std::uint32_t product,
                            std::string_view set_file_name, const std::tm& start) {
  return format_name([&](char* out, std::size_t size) {
    return std::snprintf(out, size, "%.*s%" PRIu32 "-%.*s-%02d%02d%02d%02d%02d%02d.log",
                         static_cast<int>(directory.size()), directory.data(), product,
                         static_cast<int>(set_file_name.size()), set_file_name.data(),
                         start.tm_year + kYearOffset, start.tm_mon + 1, start.tm_mday,
                         start.tm_hour, start.tm_min, start.tm_sec);
  });
}

// The three leading fields only have to be there, since a resumed file was
// chosen by them already; the date and counter follow the name's format.
std::optional<ResumedOrdinary> parse_ordinary_for_resume(std::string_view name) noexcept {
  NameFields fields(name);
  for (int i = 0; i < 3; ++i) {
    if (!fields.next()) {
      return std::nullopt;
    }
  }
  std::string_view rest = fields.rest();
  rest.remove_prefix(std::min(rest.find_first_not_of('-'), rest.size()));
  const std::optional<OrdinaryNameDate> date = ordinary_name_date(rest);
  if (!date) {
    return std::nullopt;
  }
  return ResumedOrdinary{date->year, date->month, date->day, date->counter};
}

}  // namespace xoltlog
