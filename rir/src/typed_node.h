// The typed node that stands for one conversion's argument.
#pragma once

#include <cstdint>

#include "arg_list.h"
#include "argument.h"
#include "format_parser.h"

namespace xoltlog::rir {

struct BuildContext {
  bool utf8 = false;    // %s strings are UTF-8 rather than code-page text
  int saved_errno = 0;  // errno as the caller left it, for %m
};

// XOLT_RIR_EINVAL for a null string or message given to a brace conversion
// or a malformed nested message; throws std::bad_alloc.
std::int32_t make_typed_node(const Conversion& conversion, const Argument& argument,
                             const BuildContext& context, NodePtr& node);

}  // namespace xoltlog::rir
