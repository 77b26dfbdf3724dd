#include "message/argument_text.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "message/code_page_text.h"
#include "platform/time_breakdown.h"
#include "xoltlog/result.h"

namespace xoltlog {
namespace {

constexpr std::uint64_t kWideCharEstimate = 2;
constexpr std::uint64_t kNumberEstimate = 20;
constexpr std::uint64_t kDoubleEstimate = 15;
constexpr std::uint64_t kOsErrorEstimate = 10;

constexpr const char* kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A broken-down time from the platform layer is normalised; the guard keeps
// a foreign one from indexing past the name tables.
const char* name_of(const char* const* names, int count, int index) noexcept {
  return index >= 0 && index < count ? names[index] : "???";
}

}  // namespace

std::size_t asctime_text(const std::tm& time, char (&buffer)[64]) noexcept {
  const int length =
      std::snprintf(buffer, sizeof buffer, "%.3s %.3s%3d %.2d:%.2d:%.2d %lld\n",
                    name_of(kDayNames, 7, time.tm_wday), name_of(kMonthNames, 12, time.tm_mon),
                    time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec, 1900LL + time.tm_year);
  return length > 0 ? static_cast<std::size_t>(length) : 0;
}

bool ArgumentText::read(const XoltRirArgIter& it, std::uint32_t type) noexcept {
  switch (type) {
    case XOLT_RIR_ARG_WCHAR:
      return read_wide_char(it);
    case XOLT_RIR_ARG_WSTRING:
      return read_wide_string(it);
    case XOLT_RIR_ARG_OS_ERROR:
    case XOLT_RIR_ARG_OS_ERROR64:
      return read_os_error(it);
    case XOLT_RIR_ARG_DATETIME:
      return read_datetime(it);
    case XOLT_RIR_ARG_UTF8STRING: {
      const char* text = nullptr;
      return xoltRirGetArg_utf8string(&it, &text) == XOLT_RIR_OK && borrow(text);
    }
    case XOLT_RIR_ARG_NATIVESTRING: {
      const char* text = nullptr;
      return xoltRirGetArg_nativeString(&it, &text) == XOLT_RIR_OK && borrow(text);
    }
    default:
      return read_number(it, type);
  }
}

bool ArgumentText::format(std::uint64_t estimate, const char* format, ...) noexcept {
  estimate_ = estimate;
  if (!text_wanted_) {
    return true;
  }
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(digits_, sizeof digits_, format, args);
  va_end(args);
  if (length < 0) {
    return false;
  }
  text_ = std::string_view(digits_, std::strlen(digits_));
  return true;
}

bool ArgumentText::borrow(const char* text) noexcept {
  if (text == nullptr) {
    return false;
  }
  text_ = text;
  estimate_ = text_.size() + 1;
  return true;
}

// A character without a code-page form is left out rather than failing the
// message: its estimate is fixed, so both passes stay in step either way.
bool ArgumentText::read_wide_char(const XoltRirArgIter& it) noexcept {
  wchar_t c = L'\0';
  if (xoltRirGetArg_wchar(&it, &c) != XOLT_RIR_OK) {
    return false;
  }
  estimate_ = kWideCharEstimate;
  const wchar_t text[] = {c, L'\0'};
  if (text_wanted_ && c != L'\0' && wide_to_code_page(converted_, text) == XOLTLOG_OK) {
    text_ = converted_.get();
  }
  return true;
}

bool ArgumentText::read_wide_string(const XoltRirArgIter& it) noexcept {
  const wchar_t* text = nullptr;
  if (xoltRirGetArg_wstring(&it, &text) != XOLT_RIR_OK || text == nullptr ||
      wide_to_code_page(converted_, text) != XOLTLOG_OK) {
    return false;
  }
  return borrow(converted_.get());
}

// The code is printed as a 32-bit int, as the platform's error codes are.
bool ArgumentText::read_os_error(const XoltRirArgIter& it) noexcept {
  const XoltRirArgValue* value = nullptr;
  if (xoltRirGetArg_os_error(&it, &value) != XOLT_RIR_OK || value == nullptr) {
    return false;
  }
  return format(kOsErrorEstimate, "%d", static_cast<int>(value->second.signed_number));
}

// The estimate covers the asctime text with its line feed but not the space
// behind it, so a date at the end of a text loses both.
bool ArgumentText::read_datetime(const XoltRirArgIter& it) noexcept {
  std::int64_t seconds = 0;
  if (xoltRirGetArg_datetime(&it, &seconds) != XOLT_RIR_OK) {
    return false;
  }
  std::tm local{};
  if (!platform::break_down_local(seconds, local)) {
    text_ = {};
    estimate_ = 0;
    return true;
  }
  char asctime[64];
  const std::size_t length = asctime_text(local, asctime);
  return format(length, "%s ", asctime);
}

bool ArgumentText::read_number(const XoltRirArgIter& it, std::uint32_t type) noexcept {
  switch (type) {
    case XOLT_RIR_ARG_LONGLONG: {
      std::int64_t value = 0;
      return xoltRirGetArg_longlong(&it, &value) == XOLT_RIR_OK &&
             format(kNumberEstimate, "%" PRId64, value);
    }
    case XOLT_RIR_ARG_ULONGLONG: {
      std::uint64_t value = 0;
      return xoltRirGetArg_ulonglong(&it, &value) == XOLT_RIR_OK &&
             format(kNumberEstimate, "%" PRIu64, value);
    }
    case XOLT_RIR_ARG_DOUBLE: {
      double value = 0;
      return xoltRirGetArg_double(&it, &value) == XOLT_RIR_OK &&
             format(kDoubleEstimate, "%f", value);
    }
    case XOLT_RIR_ARG_POINTER: {
      std::uint64_t value = 0;
      return xoltRirGetArg_pointer(&it, &value) == XOLT_RIR_OK &&
             format(kNumberEstimate, "0x%" PRIx64, value);
    }
    default:
      return false;
  }
}

}  // namespace xoltlog
