#include "message/wide_argument.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string_view>
#include <utility>

#include "message/code_page_text.h"
#include "platform/text_convert.h"
#include "platform/time_breakdown.h"
#include "xoltlog/result.h"

namespace xoltlog {
namespace {

// Every form but the strings is formatted into a buffer of this many
// characters and cut there.
constexpr std::size_t kFormBuffer = 100;
constexpr std::uint32_t kFailed = XOLTLOG_E_FAILED;

std::uint32_t copy_wide(BlockPtr<wchar_t>& out, std::wstring_view text) noexcept {
  BlockPtr<wchar_t> copy(static_cast<wchar_t*>(allocate((text.size() + 1) * sizeof(wchar_t))));
  if (!copy) {
    return XOLTLOG_E_NO_MEMORY;
  }
  text.copy(copy.get(), text.size());
  copy.get()[text.size()] = L'\0';
  out = std::move(copy);
  return XOLTLOG_OK;
}

// Numbers print in ASCII alone, so they are formatted narrow (where a cut
// is well defined) and widened character by character.
__attribute__((format(printf, 2, 3))) std::uint32_t copy_formatted(BlockPtr<wchar_t>& out,
                                                                   const char* format,
                                                                   ...) noexcept {
  char narrow[kFormBuffer];
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(narrow, sizeof narrow, format, args);
  va_end(args);
  if (length < 0) {
    return XOLTLOG_E_FAILED;
  }
  wchar_t wide[kFormBuffer];
  std::size_t count = 0;
  for (; narrow[count] != '\0'; ++count) {
    wide[count] = static_cast<wchar_t>(static_cast<unsigned char>(narrow[count]));
  }
  return copy_wide(out, std::wstring_view(wide, count));
}

std::uint32_t copy_datetime(BlockPtr<wchar_t>& out, std::int64_t seconds) noexcept {
  wchar_t text[kFormBuffer] = {};
  std::tm local{};
  if (platform::break_down_local(seconds, local) &&
      std::wcsftime(text, kFormBuffer, L"%c", &local) == 0) {
    text[0] = L'\0';
  }
  return copy_wide(out, text);
}

// The catalog library's UTF-8 arguments convert with ICU; code-page ones
// through the locale, where a text that converts to nothing is a failure too.
std::uint32_t copy_string(BlockPtr<wchar_t>& out, const char* text, bool utf8) noexcept {
  if (text == nullptr) {
    return XOLTLOG_E_FAILED;
  }
  BlockPtr<wchar_t> wide;
  const std::uint32_t result =
      utf8 ? platform::utf8_to_wide(wide, text, -1) : code_page_to_wide(wide, text);
  if (result != XOLTLOG_OK) {
    return result == XOLTLOG_E_NO_MEMORY ? result : kFailed;
  }
  if (!utf8 && wide.get()[0] == L'\0') {
    return XOLTLOG_E_FAILED;
  }
  out = std::move(wide);
  return XOLTLOG_OK;
}

std::uint32_t copy_number(BlockPtr<wchar_t>& out, const XoltRirArgIter& it,
                          std::uint32_t type) noexcept {
  std::int64_t signed_value = 0;
  std::uint64_t unsigned_value = 0;
  double double_value = 0;
  switch (type) {
    case XOLT_RIR_ARG_LONGLONG:
      return xoltRirGetArg_longlong(&it, &signed_value) == XOLT_RIR_OK
                 ? copy_formatted(out, "%" PRId64, signed_value)
                 : kFailed;
    case XOLT_RIR_ARG_ULONGLONG:
      return xoltRirGetArg_ulonglong(&it, &unsigned_value) == XOLT_RIR_OK
                 ? copy_formatted(out, "%" PRIu64, unsigned_value)
                 : kFailed;
    case XOLT_RIR_ARG_DOUBLE:
      return xoltRirGetArg_double(&it, &double_value) == XOLT_RIR_OK
                 ? copy_formatted(out, "%f", double_value)
                 : kFailed;
    case XOLT_RIR_ARG_POINTER:
      return xoltRirGetArg_pointer(&it, &unsigned_value) == XOLT_RIR_OK
                 ? copy_formatted(out, "%#" PRIx64, unsigned_value)
                 : kFailed;
    default:
      return XOLTLOG_E_FAILED;
  }
}

std::uint32_t copy_wide_value(BlockPtr<wchar_t>& out, const XoltRirArgIter& it,
                              std::uint32_t type) noexcept {
  if (type == XOLT_RIR_ARG_WCHAR) {
    wchar_t c = L'\0';
    return xoltRirGetArg_wchar(&it, &c) == XOLT_RIR_OK
               ? copy_wide(out, std::wstring_view(&c, c != L'\0'))
               : kFailed;
  }
  const wchar_t* text = nullptr;
  if (xoltRirGetArg_wstring(&it, &text) != XOLT_RIR_OK || text == nullptr) {
    return XOLTLOG_E_FAILED;
  }
  return copy_wide(out, text);
}

}  // namespace

std::uint32_t argument_as_wide(const XoltRirArgIter& it, BlockPtr<wchar_t>& out) noexcept {
  std::uint32_t type = 0;
  if (xoltRirGetArgTypeId(&it, &type) != XOLT_RIR_OK) {
    return XOLTLOG_E_FAILED;
  }
  const XoltRirArgValue* error = nullptr;
  std::int64_t seconds = 0;
  const char* text = nullptr;
  switch (type) {
    case XOLT_RIR_ARG_WCHAR:
    case XOLT_RIR_ARG_WSTRING:
      return copy_wide_value(out, it, type);
    case XOLT_RIR_ARG_OS_ERROR:
    case XOLT_RIR_ARG_OS_ERROR64:
      return xoltRirGetArg_os_error(&it, &error) == XOLT_RIR_OK && error != nullptr
                 ? copy_formatted(out, "%" PRId64, error->second.signed_number)
                 : kFailed;
    case XOLT_RIR_ARG_DATETIME:
      return xoltRirGetArg_datetime(&it, &seconds) == XOLT_RIR_OK ? copy_datetime(out, seconds)
                                                                  : kFailed;
    case XOLT_RIR_ARG_UTF8STRING:
      return xoltRirGetArg_utf8string(&it, &text) == XOLT_RIR_OK ? copy_string(out, text, true)
                                                                 : kFailed;
    case XOLT_RIR_ARG_NATIVESTRING:
      return xoltRirGetArg_nativeString(&it, &text) == XOLT_RIR_OK ? copy_string(out, text, false)
                                                                   : kFailed;
    default:
      return copy_number(out, it, type);
  }
}

}  // namespace xoltlog
