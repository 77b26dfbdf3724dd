// Reading a built message: its identifier, its arguments in order, and the
// node behind a caller-held iterator.
#pragma once

#include <cstdint>

#include "xoltlog/rir.h"

namespace xoltlog::rir {

std::uint32_t count_args(const XoltRirMsg& msg) noexcept;
// XOLT_RIR_END, with the iterator on no node, for a message without arguments.
std::int32_t begin_args(const XoltRirMsg& msg, XoltRirArgIter& it) noexcept;
// XOLT_RIR_END, iterator unchanged, when there is no further argument.
std::int32_t next_arg(XoltRirArgIter& it) noexcept;
// The node under the iterator when it has that type; null otherwise (and
// for a null iterator).
const XoltRirArgNode* node_of_type(const XoltRirArgIter* it, XoltRirArgType type) noexcept;

}  // namespace xoltlog::rir
