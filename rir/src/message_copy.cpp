#include "message_copy.h"

#include <cstring>
#include <cwchar>
#include <utility>

namespace xoltlog::rir {
namespace {

bool is_known_type(std::int32_t type) noexcept {
  return type >= XOLT_RIR_ARG_WCHAR && type <= XOLT_RIR_ARG_NATIVESTRING;
}

std::int32_t copy_nested(const XoltRirMsg* source, NodePtr& copy, int depth) {
  if (source == nullptr) {
    return XOLT_RIR_EINVAL;
  }
  MessagePtr nested;
  const std::int32_t status = copy_message(*source, nested, depth);
  if (status == XOLT_RIR_OK) {
    copy = message_node(std::move(nested));
  }
  return status;
}

// depth: how deep the message holding the node will sit.
std::int32_t copy_node(const XoltRirArgNode& source, NodePtr& copy, int depth) {
  const char* text = source.value.first.string;
  const wchar_t* wide_text = source.value.first.wide_string;
  switch (source.type) {
    case XOLT_RIR_ARG_WSTRING:
      if (wide_text == nullptr) {
        return XOLT_RIR_EINVAL;
      }
      copy = wide_text_node(wide_text, std::wcslen(wide_text));
      return XOLT_RIR_OK;
    case XOLT_RIR_ARG_UTF8STRING:
    case XOLT_RIR_ARG_NATIVESTRING:
      if (text == nullptr) {
        return XOLT_RIR_EINVAL;
      }
      copy = text_node(static_cast<XoltRirArgType>(source.type), text, std::strlen(text));
      return XOLT_RIR_OK;
    case XOLT_RIR_ARG_RIR:
      return copy_nested(source.value.first.rir, copy, depth + 1);
    case XOLT_RIR_ARG_WCHAR:
      // Only the character is the caller's: the rest of the 64-bit slot,
      // which the record line reads whole, is cleared.
      copy = new_node(XOLT_RIR_ARG_WCHAR);
      copy->value.first.wide_char = source.value.first.wide_char;
      return XOLT_RIR_OK;
    default:
      if (!is_known_type(source.type)) {
        return XOLT_RIR_EINVAL;
      }
      copy = new_node(static_cast<XoltRirArgType>(source.type));
      copy->value = source.value;
      return XOLT_RIR_OK;
  }
}

}  // namespace

std::int32_t copy_message(const XoltRirMsg& source, MessagePtr& copy, int depth) {
  // The logging library writes no deeper message, and a message that holds
  // itself would otherwise be copied until the stack ran out.
  if (depth > XOLT_RIR_MAX_NESTING) {
    return XOLT_RIR_EINVAL;
  }
  MessagePtr result(new XoltRirMsg{source.id, nullptr});
  ArgList list;
  for (const XoltRirArgNode* node = source.args; node != nullptr; node = node->next) {
    NodePtr node_copy;
    const std::int32_t status = copy_node(*node, node_copy, depth);
    if (status != XOLT_RIR_OK) {
      return status;
    }
    list.append(std::move(node_copy));
  }
  result->args = list.commit();
  copy = std::move(result);
  return XOLT_RIR_OK;
}

std::int32_t copy_argument(const XoltRirArgNode& source, NodePtr& copy) {
  return copy_node(source, copy, 0);
}

}  // namespace xoltlog::rir
