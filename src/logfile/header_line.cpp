#include "logfile/header_line.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <type_traits>

#include "platform/time_breakdown.h"
#include "xoltlog/result.h"

namespace xoltlog {
namespace {

constexpr std::uint32_t kVersionMin = XOLTLOG_HEADER_VERSION_MIN;
constexpr std::uint32_t kVersionOrdinary = XOLTLOG_HEADER_VERSION;
constexpr std::uint32_t kVersionLogset = XOLTLOG_HEADER_VERSION_LOGSET;
// The first word is read with a limit; anything longer is not "$Header".
constexpr std::size_t kFirstWordLimit = 20;
// White space as the C library's isspace sees it in every locale.
constexpr const char* kSpaces = " \t\n\v\f\r";

// A decimal number as written, before it is fitted to its field.
struct Number {
  bool negative = false;
  bool overflow = false;
  std::uint64_t magnitude = 0;
};

std::uint32_t to_unsigned32(const Number& number) noexcept {
  if (number.overflow || number.magnitude > std::numeric_limits<std::uint32_t>::max()) {
    return std::numeric_limits<std::uint32_t>::max();
  }
  const auto value = static_cast<std::uint32_t>(number.magnitude);
  // Old 0x10008 headers carry a negative offset in an unsigned field.
  return number.negative ? 0u - value : value;
}

template <typename T>
T to_signed(const Number& number) noexcept {
  using Unsigned = std::make_unsigned_t<T>;
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<T>::max());
  if (!number.negative) {
    return number.overflow || number.magnitude > kMax ? std::numeric_limits<T>::max()
                                                       : static_cast<T>(number.magnitude);
  }
  if (number.overflow || number.magnitude > kMax + 1) {
    return std::numeric_limits<T>::min();
  }
  return static_cast<T>(static_cast<Unsigned>(0u - static_cast<Unsigned>(number.magnitude)));
}

// Reads a header line field by field as the header formats do with scanf: a
// blank in the format skips any white space, a comma must be there, numbers
// and words skip white space before them. A field that does not read leaves
// its target untouched, and the caller stops there.
class FieldReader {
 public:
  explicit FieldReader(const char* text) noexcept : at_(text) {}

  void skip_space() noexcept { at_ += std::strspn(at_, kSpaces); }

  bool literal(char expected) noexcept {
    if (*at_ != expected) {
      return false;
    }
    ++at_;
    return true;
  }

  // The next word, cut to out.size() - 1 bytes; the whole word is consumed.
  bool word(std::span<char> out) noexcept {
    skip_space();
    const std::size_t length = std::strcspn(at_, kSpaces);
    if (length == 0) {
      return false;
    }
    const std::size_t kept = std::min(length, out.size() - 1);
    std::memcpy(out.data(), at_, kept);
    out[kept] = '\0';
    at_ += length;
    return true;
  }

  bool unsigned32(std::uint32_t& out) noexcept { return convert(out, &to_unsigned32); }
  bool signed32(std::int32_t& out) noexcept { return convert(out, &to_signed<std::int32_t>); }
  bool signed64(std::int64_t& out) noexcept { return convert(out, &to_signed<std::int64_t>); }

 private:
  template <typename T>
  bool convert(T& out, T (*fit)(const Number&) noexcept) noexcept {
    Number number;
    if (!number_of(number)) {
      return false;
    }
    out = fit(number);
    return true;
  }

  static bool is_digit(char c) noexcept { return c >= '0' && c <= '9'; }

  bool number_of(Number& number) noexcept {
    skip_space();
    const char* at = at_;
    if (*at == '+' || *at == '-') {
      number.negative = *at++ == '-';
    }
    if (!is_digit(*at)) {
      return false;
    }
    constexpr std::uint64_t kLimit = std::numeric_limits<std::uint64_t>::max();
    for (; is_digit(*at); ++at) {
      const auto digit = static_cast<std::uint64_t>(*at - '0');
      if (number.overflow || number.magnitude > (kLimit - digit) / 10) {
        number.overflow = true;
      } else {
        number.magnitude = number.magnitude * 10 + digit;
      }
    }
    at_ = at;
    return true;
  }

  const char* at_;
};

// ",product,originator,creation time" of the versions that carry them.
bool read_ids_and_time(FieldReader& reader, XoltLogHeader& header) noexcept {
  return reader.literal(',') && reader.unsigned32(header.product_id) && reader.literal(',') &&
         reader.unsigned32(header.originator_id) && reader.literal(',') &&
         reader.signed64(header.creation_time);
}

bool read_host(FieldReader& reader, XoltLogHeader& header) noexcept {
  return reader.literal(',') && reader.word(header.host_name);
}

// The fields behind the version; where one does not read, the rest stay as
// the caller cleared them, as with scanf.
void read_version_fields(FieldReader& reader, XoltLogHeader& header) noexcept {
  if (header.version == kVersionLogset) {
    std::uint32_t offset = 0;
    if (reader.literal(',') && reader.unsigned32(offset)) {
      header.tz_offset = static_cast<std::int32_t>(offset);
      read_host(reader, header);
    }
  } else if (header.version == kVersionOrdinary) {
    (void)(read_ids_and_time(reader, header) && reader.literal(',') &&
           reader.signed32(header.tz_offset) && read_host(reader, header));
  } else {
    (void)(read_ids_and_time(reader, header) && read_host(reader, header));
  }
}

}  // namespace

std::int32_t utc_offset_at(std::int64_t now) noexcept {
  std::tm utc{};
  if (!platform::break_down_utc(now, utc)) {
    return 0;
  }
  // The UTC fields read back as local time land as far from now as the zone
  // is from UTC; -1 leaves daylight saving to the C library.
  utc.tm_isdst = -1;
  return static_cast<std::int32_t>(platform::local_time_to_seconds(utc) - now);
}

XoltLogHeader make_header(const HeaderOrigin& origin, std::int64_t now, std::int32_t tz_offset,
                          std::string_view host_name) noexcept {
  XoltLogHeader header{};
  header.version = origin.logset ? kVersionLogset : kVersionOrdinary;
  header.product_id = origin.product_id;
  header.originator_id = origin.originator_id;
  header.creation_time = now;
  header.tz_offset = tz_offset;
  const std::string_view kept = host_name.substr(0, kHeaderHostLength);
  std::memcpy(header.host_name, kept.data(), kept.size());
  return header;
}

bool is_header_version(std::uint32_t version) noexcept {
  return version >= kVersionMin && version <= kVersionLogset;
}

std::size_t format_header_line(const XoltLogHeader& header, std::span<char> out) noexcept {
  const int host = static_cast<int>(strnlen(header.host_name, kHeaderHostLength));
  const char* word = kHeaderWord.data();
  int written = -1;
  if (header.version == kVersionLogset) {
    written = std::snprintf(out.data(), out.size(), "%s %" PRIu32 ",%" PRId32 ",%.*s\n", word,
                            header.version, header.tz_offset, host, header.host_name);
  } else if (header.version == kVersionOrdinary) {
    written = std::snprintf(out.data(), out.size(),
                            "%s %" PRIu32 ",%" PRIu32 ",%" PRIu32 ",%" PRId64 ",%" PRId32 ",%.*s\n",
                            word, header.version, header.product_id, header.originator_id,
                            header.creation_time, header.tz_offset, host, header.host_name);
  } else if (is_header_version(header.version)) {
    written = std::snprintf(out.data(), out.size(),
                            "%s %" PRIu32 ",%" PRIu32 ",%" PRIu32 ",%" PRId64 ",%.*s\n", word,
                            header.version, header.product_id, header.originator_id,
                            header.creation_time, host, header.host_name);
  }
  if (written < 0 || static_cast<std::size_t>(written) >= out.size()) {
    return 0;
  }
  return static_cast<std::size_t>(written);
}

std::uint32_t parse_header_line(const char* line, XoltLogHeader& header) noexcept {
  FieldReader reader(line);
  char word[kFirstWordLimit + 1];
  if (!reader.word(word) || std::string_view(word) != kHeaderWord) {
    return XOLTLOG_E_FAILED;
  }
  std::uint32_t version = 0;
  reader.skip_space();
  if (!reader.unsigned32(version) || !is_header_version(version)) {
    return XOLTLOG_E_BAD_HEADER;
  }
  header.version = version;
  read_version_fields(reader, header);
  return XOLTLOG_OK;
}

}  // namespace xoltlog
