#include "message/sequence.h"

#include "frame/library_lock.h"

namespace xoltlog {

std::uint32_t next_sequence_number(XoltLogHandle* handle) noexcept {
  if (handle == nullptr) {
    return 0;
  }
  LibraryLockGuard guard("GetNextSequenceNumber()");
  return handle->sequence_counter++;
}

}  // namespace xoltlog
