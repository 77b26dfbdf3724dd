#include "writer/header_write.h"

#include <string_view>

#include "platform/host_address.h"

namespace xoltlog {

// Creation time and zone offset come from one time, so a file started at a
// daylight-saving change carries a consistent pair.
bool fill_new_header(XoltLogHeader& header, const HeaderOrigin& origin,
                     std::int64_t now) noexcept {
  char host[XOLTLOG_HOST_NAME_SIZE] = {};
  const bool named = platform::local_host_name(host, sizeof host);
  header = make_header(origin, now, utc_offset_at(now), named ? std::string_view(host) : "");
  return named;
}

}  // namespace xoltlog
