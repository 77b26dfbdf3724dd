#include "message/record_arguments.h"

#include <cstring>
#include <string_view>

#include "platform/heap.h"
#include "platform/text_convert.h"
#include "xoltlog/result.h"

namespace xoltlog {
namespace {

// The catalog library stores widths of 8 to 64 bits; the line carries the
// node's 16-bit width as it is.
std::uint16_t width_of(const XoltRirArgNode& node) noexcept {
  return static_cast<std::uint16_t>(node.value.first.width);
}

// The conversion behind wcs2utf8. A refusal for want of memory is reported
// as such; any other refusal means the text has no UTF-8 form.
std::uint32_t wide_to_utf8(const wchar_t* text, BlockPtr<char>& utf8) noexcept {
  const std::uint32_t result = platform::wide_to_utf8(utf8, text);
  if (result == XOLTLOG_E_NO_MEMORY) {
    return result;
  }
  return result == XOLTLOG_OK && utf8 != nullptr ? XOLTLOG_OK : XOLTLOG_E_FAILED;
}

std::uint32_t append_wide_char(LineWriter& out, wchar_t c) noexcept {
  BlockPtr<char> utf8;
  std::string_view bytes;
  if (c != L'\0') {
    const wchar_t text[] = {c, L'\0'};
    if (const std::uint32_t result = wide_to_utf8(text, utf8); result != XOLTLOG_OK) {
      return result;
    }
    bytes = utf8.get();
  }
  return append_counted_argument(out, '1', bytes);
}

std::uint32_t append_wide_string(LineWriter& out, const wchar_t* text) noexcept {
  if (text == nullptr) {
    return XOLTLOG_E_FAILED;
  }
  BlockPtr<char> utf8;
  if (const std::uint32_t result = wide_to_utf8(text, utf8); result != XOLTLOG_OK) {
    return result;
  }
  return append_counted_argument(out, 'A', utf8.get());
}

std::uint32_t append_byte_string(LineWriter& out, char tag, const char* text) noexcept {
  if (text == nullptr) {
    return XOLTLOG_E_FAILED;
  }
  return append_counted_argument(out, tag, text);
}

// tag, width, ':', value, '|'.
template <typename Integer>
std::uint32_t append_number(LineWriter& out, char tag, std::uint64_t width,
                            Integer value) noexcept {
  return out.piece(2 * kMostDigits + 3, [&](Cursor& line) {
    line.character(tag).number(width).character(':').number(value).character('|');
  });
}

std::uint32_t append_double(LineWriter& out, double value) noexcept {
  return out.piece(kMostFixed + 2,
                   [&](Cursor& line) { line.character('8').fixed(value).character('|'); });
}

std::uint32_t append_list(LineWriter& out, const XoltRirMsg& msg, int depth) noexcept;

// depth: how deep the list holding the nested message is. The reader stops
// at the same depth, so a deeper message is refused rather than written as a
// line no one could read back (a message that holds itself is one).
std::uint32_t append_nested(LineWriter& out, const XoltRirMsg* nested, int depth) noexcept {
  if (nested == nullptr) {
    return XOLTLOG_E_FAILED;
  }
  if (depth >= XOLT_RIR_MAX_NESTING) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return append_list(out, *nested, depth + 1);
}

std::uint32_t append_argument(LineWriter& out, const XoltRirArgNode& node, int depth) noexcept {
  const XoltRirArgValue& value = node.value;
  switch (node.type) {
    case XOLT_RIR_ARG_WCHAR:
      return append_wide_char(out, value.first.wide_char);
    case XOLT_RIR_ARG_LONGLONG:
      return append_number(out, 'i', width_of(node), value.second.signed_number);
    case XOLT_RIR_ARG_ULONGLONG:
      return append_number(out, 'u', width_of(node), value.second.unsigned_number);
    case XOLT_RIR_ARG_DOUBLE:
      return append_double(out, value.first.number_double);
    case XOLT_RIR_ARG_POINTER:
      return append_number(out, '9', 64, value.first.number);
    case XOLT_RIR_ARG_WSTRING:
      return append_wide_string(out, value.first.wide_string);
    case XOLT_RIR_ARG_OS_ERROR:
    case XOLT_RIR_ARG_OS_ERROR64:
      return append_number(out, 'D', width_of(node), value.second.signed_number);
    case XOLT_RIR_ARG_DATETIME:
      return append_number(out, 'C', 64, value.first.time);
    case XOLT_RIR_ARG_RIR:
      return append_nested(out, value.first.rir, depth);
    case XOLT_RIR_ARG_UTF8STRING:
      return append_byte_string(out, 'X', value.first.string);
    case XOLT_RIR_ARG_NATIVESTRING:
      return append_byte_string(out, 'S', value.first.string);
    default:
      return XOLTLOG_E_FAILED;
  }
}

std::uint32_t append_list(LineWriter& out, const XoltRirMsg& msg, int depth) noexcept {
  std::uint32_t result = out.piece(kMostDigits + 2, [&](Cursor& line) {
    line.character('(').number(msg.id).character('|');
  });
  for (const XoltRirArgNode* node = msg.args; node != nullptr && result == XOLTLOG_OK;
       node = node->next) {
    result = append_argument(out, *node, depth);
  }
  return result == XOLTLOG_OK ? out.append("),") : result;
}

}  // namespace

std::uint32_t append_argument_list(LineWriter& out, const XoltRirMsg& msg) noexcept {
  return append_list(out, msg, 0);
}

}  // namespace xoltlog
