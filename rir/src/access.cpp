#include "access.h"

namespace xoltlog::rir {

std::uint32_t count_args(const XoltRirMsg& msg) noexcept {
  std::uint32_t count = 0;
  for (const XoltRirArgNode* node = msg.args; node != nullptr; node = node->next) {
    ++count;
  }
  return count;
}

std::int32_t begin_args(const XoltRirMsg& msg, XoltRirArgIter& it) noexcept {
  it.node = msg.args;
  return it.node != nullptr ? XOLT_RIR_OK : XOLT_RIR_END;
}

std::int32_t next_arg(XoltRirArgIter& it) noexcept {
  if (it.node == nullptr || it.node->next == nullptr) {
    return XOLT_RIR_END;
  }
  it.node = it.node->next;
  return XOLT_RIR_OK;
}

const XoltRirArgNode* node_of_type(const XoltRirArgIter* it, XoltRirArgType type) noexcept {
  if (it == nullptr || it->node == nullptr || it->node->type != type) {
    return nullptr;
  }
  return it->node;
}

}  // namespace xoltlog::rir
