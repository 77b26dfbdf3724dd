#include "typed_node.h"

#include <climits>
#include <cstring>
#include <cwchar>
#include <string_view>
#include <utility>

#include "message_copy.h"

namespace xoltlog::rir {
namespace {

// printf prints a null %s or %ls as this; storing the same text keeps the
// rendered message faithful without keeping a dangling pointer.
constexpr std::string_view kNullText = "(null)";
constexpr std::wstring_view kNullWideText = L"(null)";
constexpr auto kIntBits = static_cast<std::uint32_t>(CHAR_BIT * sizeof(int));

NodePtr number_node(XoltRirArgType type, std::uint32_t bits) {
  NodePtr node = new_node(type);
  node->value.first.width = bits;
  return node;
}

// The serializer reads the whole 64-bit first slot, so the character must
// sit in an otherwise zero value whatever the size of wchar_t.
NodePtr wide_char_node(wint_t character) {
  const auto wide = static_cast<wchar_t>(character);
  std::uint64_t slot = 0;
  std::memcpy(&slot, &wide, sizeof wide);
  NodePtr node = new_node(XOLT_RIR_ARG_WCHAR);
  node->value.first.number = slot;
  return node;
}

// A precision bounds the read: the string need not be terminated within it.
NodePtr string_node(XoltRirArgType type, const Argument& argument) {
  if (argument.text == nullptr) {
    return text_node(type, kNullText.data(), kNullText.size());
  }
  const std::size_t length =
      argument.precision < 0
          ? std::strlen(argument.text)
          : strnlen(argument.text, static_cast<std::size_t>(argument.precision));
  return text_node(type, argument.text, length);
}

NodePtr wide_string_node(const Argument& argument) {
  if (argument.wide_text == nullptr) {
    return wide_text_node(kNullWideText.data(), kNullWideText.size());
  }
  const std::size_t length =
      argument.precision < 0
          ? std::wcslen(argument.wide_text)
          : wcsnlen(argument.wide_text, static_cast<std::size_t>(argument.precision));
  return wide_text_node(argument.wide_text, length);
}

NodePtr char_node(const Conversion& conversion, const Argument& argument) {
  if (conversion.length == Length::kLong) {
    return wide_char_node(argument.wide_char);
  }
  const auto byte = static_cast<char>(static_cast<unsigned char>(argument.character));
  return text_node(XOLT_RIR_ARG_NATIVESTRING, &byte, 1);
}

NodePtr os_error_node(XoltRirArgType type, std::uint32_t bits, std::int64_t code) {
  NodePtr node = number_node(type, bits);
  node->value.second.signed_number = code;
  return node;
}

NodePtr integer_node(Category category, const Argument& argument) {
  if (category == Category::kSigned) {
    NodePtr node = number_node(XOLT_RIR_ARG_LONGLONG, argument.bits);
    node->value.second.signed_number = argument.signed_value;
    return node;
  }
  NodePtr node = number_node(XOLT_RIR_ARG_ULONGLONG, argument.bits);
  node->value.second.unsigned_number = argument.unsigned_value;
  return node;
}

NodePtr double_node(long double value) {
  NodePtr node = new_node(XOLT_RIR_ARG_DOUBLE);
  node->value.first.number_double = static_cast<double>(value);
  return node;
}

NodePtr pointer_node(const void* pointer) {
  NodePtr node = new_node(XOLT_RIR_ARG_POINTER);
  node->value.first.number = reinterpret_cast<std::uintptr_t>(pointer);
  return node;
}

NodePtr printf_node(const Conversion& conversion, const Argument& argument,
                    const BuildContext& context) {
  const bool wide = conversion.length == Length::kLong;
  switch (conversion.category) {
    case Category::kSigned:
    case Category::kUnsigned: return integer_node(conversion.category, argument);
    case Category::kDouble: return double_node(argument.real);
    case Category::kChar: return char_node(conversion, argument);
    case Category::kString:
      return wide ? wide_string_node(argument)
                  : string_node(context.utf8 ? XOLT_RIR_ARG_UTF8STRING : XOLT_RIR_ARG_NATIVESTRING,
                                argument);
    case Category::kPointer: return pointer_node(argument.pointer);
    default:
      return os_error_node(XOLT_RIR_ARG_OS_ERROR, kIntBits, context.saved_errno);
  }
}

std::int32_t extra_node(Category category, const Argument& argument, NodePtr& node) {
  switch (category) {
    case Category::kOsError:
    case Category::kOsError64: {
      const auto type =
          category == Category::kOsError ? XOLT_RIR_ARG_OS_ERROR : XOLT_RIR_ARG_OS_ERROR64;
      node = os_error_node(type, argument.bits, argument.signed_value);
      return XOLT_RIR_OK;
    }
    case Category::kTime:
      node = new_node(XOLT_RIR_ARG_DATETIME);
      node->value.first.time = argument.signed_value;
      return XOLT_RIR_OK;
    case Category::kUtf8:
      if (argument.text == nullptr) {
        return XOLT_RIR_EINVAL;
      }
      node = text_node(XOLT_RIR_ARG_UTF8STRING, argument.text, std::strlen(argument.text));
      return XOLT_RIR_OK;
    default: {
      MessagePtr copy;
      const std::int32_t status =
          argument.message == nullptr ? XOLT_RIR_EINVAL : copy_message(*argument.message, copy, 1);
      if (status == XOLT_RIR_OK) {
        node = message_node(std::move(copy));
      }
      return status;
    }
  }
}

}  // namespace

std::int32_t make_typed_node(const Conversion& conversion, const Argument& argument,
                             const BuildContext& context, NodePtr& node) {
  if (conversion.is_extra()) {
    return extra_node(conversion.category, argument, node);
  }
  node = printf_node(conversion, argument, context);
  return XOLT_RIR_OK;
}

}  // namespace xoltlog::rir
