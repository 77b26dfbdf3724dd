// The argument list of a record line: "(" identifier "|" the encoded
// arguments ")" ",", with nested catalog messages as complete lists of their
// own. The nodes are read directly, as the catalog library lays them out.
#pragma once

#include <cstdint>

#include "message/line_writer.h"
#include "xoltlog/rir.h"

namespace xoltlog {

// Result codes: 0; 1 for a node of unknown type, a node without its string
// or nested message, or a wide character or string that has no UTF-8 form;
// 3 for nested messages deeper than XOLT_RIR_MAX_NESTING (which the record
// reader would refuse); 4 when memory runs out (the buffer has then been released). After a
// failure the line is incomplete and must be discarded.
std::uint32_t append_argument_list(LineWriter& out, const XoltRirMsg& msg) noexcept;

}  // namespace xoltlog
