// The header line that starts every log file: filling the header of a new
// file, formatting its line by version and parsing a line back. Nothing here
// touches files or the clock; only the zone offset looks at TZ.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "xoltlog/access.h"

namespace xoltlog {

inline constexpr std::string_view kHeaderWord = "$Header";
// Longest host name a header holds, so that the field always keeps its NUL.
inline constexpr std::size_t kHeaderHostLength = XOLTLOG_HOST_NAME_SIZE - 1;
// Room for any header line: the host name is its only long field.
inline constexpr std::size_t kHeaderLineCapacity = 1024;

// Who starts a file, and whether it belongs to a log set.
struct HeaderOrigin {
  std::uint32_t product_id;
  std::uint32_t originator_id;
  bool logset;
};

// Seconds to add to local time at `now` to get UTC (negative east of
// Greenwich), daylight saving as the C library decides for that moment; 0
// when `now` cannot be broken down.
std::int32_t utc_offset_at(std::int64_t now) noexcept;

// The header of a file created at `now`: the logset or ordinary version, the
// origin's ids, the given offset, and the host name cut to kHeaderHostLength.
XoltLogHeader make_header(const HeaderOrigin& origin, std::int64_t now, std::int32_t tz_offset,
                          std::string_view host_name) noexcept;

// True for the versions a header line exists for (0x10004 to 0x10008).
bool is_header_version(std::uint32_t version) noexcept;

// The header's line, line feed included, into out (not NUL-terminated): its
// length, or 0 when the version has no line or out is too small. The host
// name is taken up to its NUL, at most kHeaderHostLength bytes of it.
std::size_t format_header_line(const XoltLogHeader& header, std::span<char> out) noexcept;

// Parses a NUL-terminated header line into header, writing only the fields
// the line holds for its version, as far as they read (the caller clears the
// rest). The first word must be exactly "$Header": 0 accepted; 1 another
// first word or none; 48 a version without a header format. Numbers read as
// the 32-bit C library's strtoul/strtol/strtoll would (a minus sign wraps an
// unsigned value, out-of-range values saturate); the host name is the next
// word, cut to kHeaderHostLength.
std::uint32_t parse_header_line(const char* line, XoltLogHeader& header) noexcept;

}  // namespace xoltlog
