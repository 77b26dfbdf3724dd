// Deep copies of caller messages, for nested-message arguments: the copy
// shares nothing with its source, so the caller may free its own at once.
#pragma once

#include <cstdint>

#include "arg_list.h"

namespace xoltlog::rir {

// depth: how deep the copy will sit in the message being built (1 for an
// argument of it). XOLT_RIR_EINVAL when a node of the source has an unknown
// type or lacks its string or nested message, or when a message of the copy
// would sit deeper than XOLT_RIR_MAX_NESTING; throws std::bad_alloc.
std::int32_t copy_message(const XoltRirMsg& source, MessagePtr& copy, int depth);

// A copy of one argument for a message of its own: the same errors, with a
// nested message counted from depth 1. source.next is not followed.
std::int32_t copy_argument(const XoltRirArgNode& source, NodePtr& copy);

}  // namespace xoltlog::rir
