// Catalog messages for tests: an owning message and variadic front ends for
// the va_list build functions.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <vector>

#include "xoltlog/rir.h"

namespace rir_test {

class OwnedMsg {
 public:
  OwnedMsg() = default;
  ~OwnedMsg() { xoltRirFree(&msg_); }
  OwnedMsg(const OwnedMsg&) = delete;
  OwnedMsg& operator=(const OwnedMsg&) = delete;

  XoltRirMsg* get() { return &msg_; }
  const XoltRirMsg& operator*() const { return msg_; }
  bool zeroed() const { return msg_.id == 0 && msg_.args == nullptr; }

 private:
  XoltRirMsg msg_{};
};

inline int32_t build_ex(XoltRirMsg* msg, uint32_t utf8, uint32_t id, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int32_t status = xoltRirVEx(msg, utf8, id, format, args);
  va_end(args);
  return status;
}

inline int32_t build_text(XoltRirMsg* msg, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int32_t status = xoltRirTextV(msg, format, args);
  va_end(args);
  return status;
}

// A message holding messages nested depth levels deep, one in the other,
// laid out by hand; the innermost holds no argument.
class NestedChain {
 public:
  explicit NestedChain(int depth)
      : messages_(static_cast<std::size_t>(depth) + 1), nodes_(static_cast<std::size_t>(depth)) {
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
      nodes_[i].type = XOLT_RIR_ARG_RIR;
      nodes_[i].value.first.rir = &messages_[i + 1];
      messages_[i].args = &nodes_[i];
    }
    for (std::size_t i = 0; i < messages_.size(); ++i) {
      messages_[i].id = static_cast<uint32_t>(i + 1);
    }
  }
  const XoltRirMsg& top() const { return messages_.front(); }

 private:
  std::vector<XoltRirMsg> messages_;
  std::vector<XoltRirArgNode> nodes_;
};

// The argument nodes in order, walked through the public iterator.
inline std::vector<const XoltRirArgNode*> nodes_of(const XoltRirMsg& msg) {
  std::vector<const XoltRirArgNode*> nodes;
  XoltRirArgIter it{};
  for (int32_t status = xoltRirGetArgsBegin(&msg, &it); status == XOLT_RIR_OK;
       status = xoltRirGetNextArg(&it)) {
    nodes.push_back(it.node);
  }
  return nodes;
}

}  // namespace rir_test
