#include "writer/header_write.h"

#include <array>
#include <string_view>

#include "platform/clock.h"
#include "platform/file_primitives.h"
#include "platform/host_address.h"
#include "xoltlog/result.h"

namespace xoltlog {

bool fill_new_header(XoltLogHeader& header, const HeaderOrigin& origin) noexcept {
  return fill_new_header(header, origin, platform::wall_clock_now().seconds);
}

// Creation time and zone offset come from one time, so a file started at a
// daylight-saving change carries a consistent pair.
bool fill_new_header(XoltLogHeader& header, const HeaderOrigin& origin,
                     std::int64_t now) noexcept {
  char host[XOLTLOG_HOST_NAME_SIZE] = {};
  const bool named = platform::local_host_name(host, sizeof host);
  header = make_header(origin, now, utc_offset_at(now), named ? std::string_view(host) : "");
  return named;
}

std::uint32_t write_header(XoltLogFileContext& file, const XoltLogHeader& header) noexcept {
  std::array<char, kHeaderLineCapacity> line;
  const std::size_t length = format_header_line(header, line);
  if (length == 0) {
    return XOLTLOG_E_FAILED;
  }
  const auto count = static_cast<std::uint32_t>(length);
  return platform::file_append(file, line.data(), count) == static_cast<std::int32_t>(count)
             ? XOLTLOG_OK
             : XOLTLOG_E_FAILED;
}

}  // namespace xoltlog
