// The one place where exceptions stop: the C++ core may throw std::bad_alloc
// (strings and containers), and every exported adapter whose core can throw
// runs it through guarded(), so that nothing but a result code crosses the
// C boundary.
#pragma once

#include <cstdint>
#include <new>

#include "xoltlog/result.h"

namespace xoltlog {

// body() must return the operation's result code. Memory running out gives
// 4; any other exception gives the operation's own failure code. Operations
// whose results are not result codes (the property store's) name their own
// code for memory running out.
template <typename Body>
std::uint32_t guarded(std::uint32_t failure, Body&& body,
                      std::uint32_t no_memory = XOLTLOG_E_NO_MEMORY) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return no_memory;
  } catch (...) {
    return failure;
  }
}

}  // namespace xoltlog
