// Reading log file names back (names without their directory). Ordinary
// names are "<product>-<originator>-<host>-<yymmdd>-<counter>.log", logset
// names "<product>-<set file name>-<yymmddhhmmss>.log". Pure functions,
// safe from any thread; none reads past the name's end.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace xoltlog {

// Splits a name at "-" as the platform's token splitter does: runs of "-"
// separate fields, so empty fields never appear.
class NameFields {
 public:
  explicit NameFields(std::string_view name) noexcept : rest_(name) {}
  // The next field; nothing after the last.
  std::optional<std::string_view> next() noexcept;
  // What follows the fields taken so far, from its separator on.
  std::string_view rest() const noexcept { return rest_; }

 private:
  std::string_view rest_;
};

// The leading decimal digits of a field as a number: 0 when the field does
// not start with a digit or the number does not fit 32 bits.
std::uint32_t leading_number(std::string_view field) noexcept;

// The first two fields as product and originator; an output whose field is
// missing is left as it was. True when both outputs are then nonzero.
bool ids_from_file_name(std::string_view name, std::uint32_t& product_id,
                        std::uint32_t& originator_id) noexcept;

// The first field as product (left as it was when missing), the second
// copied whole into set_name (empty when missing; the caller gives room for
// it) and the first 12 characters of the third, NUL-terminated, into
// date_time (13 bytes; left as it was when missing). True when the product
// is then nonzero and the set name not empty.
bool logset_fields_from_file_name(std::string_view name, std::uint32_t& product_id, char* set_name,
                                  char* date_time) noexcept;

// The date and day counter of an ordinary name.
struct OrdinaryNameDate {
  int year;   // minus 2000
  int month;  // from 1
  int day;
  std::uint32_t counter;
};

// Reads what follows the "<product>-<originator>-<host>-" of an ordinary
// name: up to two digits each of year, month and day, "-", up to ten digits
// of the counter, ".". Nothing when a field has no digits, a separator is
// missing or the counter does not fit 32 bits.
std::optional<OrdinaryNameDate> ordinary_name_date(std::string_view after_host) noexcept;

// True for the twelve digits "yymmddhhmmss" of a logset name.
bool is_logset_stamp(std::string_view stamp) noexcept;

}  // namespace xoltlog
