// The ICU two-call conversion shared by the text conversions. Only the
// conversion sources include this; callers use platform/text_convert.h.
#pragma once

#include <unicode/utypes.h>

#include <cstdint>
#include <limits>
#include <type_traits>
#include <utility>

#include "platform/heap.h"
#include "xoltlog/result.h"

namespace xoltlog::platform {

static_assert(std::is_same_v<UChar, char16_t>, "ICU's UTF-16 unit is char16_t");

// How a conversion reports an ICU failure: the result code, and whether
// warning statuses from ICU are let through (the conversion to the code page
// lets a substituted character pass).
struct IcuFailure {
  std::uint32_t result;
  bool warnings_pass;
};

inline constexpr IcuFailure kIcuFailed{XOLTLOG_E_FAILED, false};
inline constexpr IcuFailure kIcuToCodePageFailed{XOLTLOG_E_INVALID_ARG, true};

// A sizing call reports the length it needs as an overflow, or as "not
// terminated" when the result is empty and fits capacity 0 exactly. Some ICU
// functions report an empty result with no status at all, so a clean status
// counts as good too.
inline bool preflight_good(UErrorCode status, IcuFailure failure) noexcept {
  if (status == U_BUFFER_OVERFLOW_ERROR || status == U_STRING_NOT_TERMINATED_WARNING) {
    return true;
  }
  return failure.warnings_pass ? U_SUCCESS(status) : status == U_ZERO_ERROR;
}

// Runs convert(destination, capacity, &status) -> length once with no
// destination to learn the length, then into a new block of length + 1
// units, which goes to out only when the second call succeeds. out is left
// alone on failure.
template <typename Unit, typename Convert>
std::uint32_t icu_two_call(BlockPtr<Unit>& out, Convert convert, IcuFailure failure) noexcept {
  UErrorCode status = U_ZERO_ERROR;
  const std::int32_t length = convert(nullptr, 0, &status);
  if (!preflight_good(status, failure) || length < 0 ||
      length == std::numeric_limits<std::int32_t>::max()) {
    return failure.result;
  }
  const std::int32_t capacity = length + 1;
  BlockPtr<Unit> buffer(
      static_cast<Unit*>(allocate(static_cast<std::uint64_t>(capacity) * sizeof(Unit))));
  if (!buffer) {
    return XOLTLOG_E_NO_MEMORY;
  }
  status = U_ZERO_ERROR;
  const std::int32_t written = convert(buffer.get(), capacity, &status);
  if (U_FAILURE(status) || written < 0 || written > length) {
    return failure.result;
  }
  buffer.get()[written] = Unit{};
  out = std::move(buffer);
  return XOLTLOG_OK;
}

// UTF-8 (length bytes, -1 up to the NUL) to a new UTF-16 string.
std::uint32_t utf8_to_utf16(BlockPtr<char16_t>& out, const char* text, std::int32_t length,
                            IcuFailure failure) noexcept;

}  // namespace xoltlog::platform
