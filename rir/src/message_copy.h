// Deep copies of caller messages, for nested-message arguments: the copy
// shares nothing with its source, so the caller may free its own at once.
#pragma once

#include <cstdint>

#include "arg_list.h"

namespace xoltlog::rir {

// XOLT_RIR_EINVAL when a node of the source has an unknown type or lacks its
// string or nested message; throws std::bad_alloc.
std::int32_t copy_message(const XoltRirMsg& source, MessagePtr& copy);

}  // namespace xoltlog::rir
