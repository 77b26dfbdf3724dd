#include "message/sequence.h"

namespace xoltlog {

std::uint32_t next_sequence_number(const LibraryLockGuard&, XoltLogHandle& handle) noexcept {
  return handle.sequence_counter++;
}

}  // namespace xoltlog
