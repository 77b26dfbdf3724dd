// Exported time texts and the reentrant time breakdowns.
#include <ctime>

#include "platform/time_breakdown.h"
#include "platform/time_text.h"
#include "xoltlog/platform.h"
#include "xoltlog/text.h"

extern "C" {

XOLTLOG_API uint32_t TimeZoneToOffset(const char* zone, int32_t* offset) noexcept {
  if (offset == nullptr) {
    return XOLTLOG_E_FAILED;
  }
  return xoltlog::platform::zone_to_offset(zone, *offset) ? XOLTLOG_OK : XOLTLOG_E_FAILED;
}

XOLTLOG_API int32_t getLocalTZOffsetFromGMT(void) noexcept {
  return xoltlog::platform::local_offset_from_utc();
}

XOLTLOG_API int32_t xoltLogStrTimeToT(const char* text, const char* delimiters, uint32_t* a,
                                      uint32_t* b, uint32_t* c) noexcept {
  if (text == nullptr || delimiters == nullptr || a == nullptr || b == nullptr || c == nullptr) {
    return 0;
  }
  return xoltlog::platform::split_three_numbers(text, delimiters, *a, *b, *c);
}

XOLTLOG_API int32_t xoltLogGetTime(const char* text, uint32_t* hour, uint32_t* minute,
                                   uint32_t* second) noexcept {
  if (text == nullptr || hour == nullptr || minute == nullptr || second == nullptr) {
    return 0;
  }
  return xoltlog::platform::read_time(text, *hour, *minute, *second);
}

XOLTLOG_API int32_t xoltLogGetDate(const char* text, uint32_t* day, uint32_t* month,
                                   uint32_t* year) noexcept {
  if (text == nullptr || day == nullptr || month == nullptr || year == nullptr) {
    return 0;
  }
  return xoltlog::platform::read_date(text, *day, *month, *year);
}

XOLTLOG_API int64_t xoltLogStrDateTimeToT(const char* text) noexcept {
  return text == nullptr ? -1 : xoltlog::platform::date_time_text_to_time(text);
}

XOLTLOG_API struct tm* xoltLogOs_gmtime_r(int64_t time, struct tm* out) noexcept {
  return out != nullptr && xoltlog::platform::break_down_utc(time, *out) ? out : nullptr;
}

XOLTLOG_API struct tm* xoltLogOs_localtime_r(int64_t time, struct tm* out) noexcept {
  return out != nullptr && xoltlog::platform::break_down_local(time, *out) ? out : nullptr;
}

}  // extern "C"
