// Building messages from a format and its arguments. Both builders fill the
// message only when they succeed; until then the nodes belong to an ArgList
// and are released with it. They throw std::bad_alloc.
#pragma once

#include <cstdint>

#include "typed_node.h"
#include "va_args.h"
#include "xoltlog/rir.h"

namespace xoltlog::rir {

// One typed node per conversion; literal text is left to the catalog.
std::int32_t build_typed(XoltRirMsg& msg, std::uint32_t id, const char* format, VaArgs& args,
                         const BuildContext& context);

// Identifier 0; literal runs and conversions in order, so that the nodes
// rendered one after another spell what vsnprintf prints.
std::int32_t build_text(XoltRirMsg& msg, const char* format, VaArgs& args, int saved_errno);

}  // namespace xoltlog::rir
