// The work behind the message entry points: building a record under the
// library lock and logging it to the file and the outputs.
#pragma once

#include <cstdarg>
#include <cstdint>

#include "frame/library_lock.h"
#include "xoltlog/handle.h"
#include "xoltlog/message.h"
#include "xoltlog/rir.h"

namespace xoltlog {

inline constexpr std::uint32_t kFlagPlainText = 8;
inline constexpr std::uint32_t kFlagOwnSequence = 16;
inline constexpr std::uint32_t kFlagEventLog = 4;

// See xoltLogMsg, from its second step on: the caller holds the lock.
std::uint32_t log_record(const LibraryLockGuard& held, XoltLogHandle& handle, std::uint32_t flags,
                         XoltLogMsg& msg) noexcept;

// What every builder does alike once the arguments are checked.
struct BuildRequest {
  std::uint32_t type = 0;
  std::uint32_t sequence = 0;
  std::uint32_t flags = 0;  // as handed to log_record
  const char* text = nullptr;
  XoltRirMsg* rir = nullptr;  // null for the debug builders
  bool secure = false;        // sequence 0; the Rir message stays put on failure
  // The record borrows text instead of copying it: the record is released
  // before the call returns, and text outlives the call.
  bool lend_text = false;
};

// Steps 4 to 8 of building: the record is initialised, its sequence number
// settled, set_attributes(record) gives the family's attributes (its result
// is the builder's when nonzero), and the record is logged and released
// (what it owns is freed; finish_build leaves the record itself as it is,
// for the scope that holds it to end). The Rir message moves into the
// record or, if the record is never logged, is released (the secure builder
// leaves it to the caller when the record cannot be initialised).
template <typename SetAttributes>
std::uint32_t build_and_log(const LibraryLockGuard& held, XoltLogHandle& handle,
                            const BuildRequest& request, SetAttributes set_attributes) noexcept;

// xoltLogDebugMsg2V once the arguments are checked and the message passed
// the filter: renders, builds and logs. The variadic members call it after
// filtering inline, before their arguments are touched.
std::uint32_t log_debug_passed(XoltLogHandle& handle, std::uint32_t sequence, std::uint32_t flags,
                               std::int32_t level, const char* who, const char* format,
                               va_list args) noexcept;

std::uint32_t init_for_build(const LibraryLockGuard& held, XoltLogHandle& handle,
                             const BuildRequest& request, XoltLogMsg& msg) noexcept;
std::uint32_t finish_build(const LibraryLockGuard& held, XoltLogHandle& handle,
                           const BuildRequest& request, XoltLogMsg& msg,
                           std::uint32_t attributes) noexcept;

template <typename SetAttributes>
std::uint32_t build_and_log(const LibraryLockGuard& held, XoltLogHandle& handle,
                            const BuildRequest& request, SetAttributes set_attributes) noexcept {
  XoltLogMsg msg;
  if (const std::uint32_t result = init_for_build(held, handle, request, msg);
      result != XOLTLOG_OK) {
    return result;
  }
  return finish_build(held, handle, request, msg, set_attributes(msg));
}

}  // namespace xoltlog
