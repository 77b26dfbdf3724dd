// Ownership of argument nodes. A node owns its string copy or nested
// message; a chain is released front to back. While a message is being
// built its nodes live in an ArgList, so any failure releases them and only
// a completed build hands them to the message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "xoltlog/rir.h"

namespace xoltlog::rir {

// Releases a node, everything it owns and every node after it.
void free_chain(XoltRirArgNode* head) noexcept;
// Releases the arguments and zeroes the message.
void free_message(XoltRirMsg& msg) noexcept;

struct ChainDeleter {
  void operator()(XoltRirArgNode* head) const noexcept { free_chain(head); }
};
struct MessageDeleter {
  void operator()(XoltRirMsg* msg) const noexcept;
};

using NodePtr = std::unique_ptr<XoltRirArgNode, ChainDeleter>;
using MessagePtr = std::unique_ptr<XoltRirMsg, MessageDeleter>;
using TextPtr = std::unique_ptr<char[]>;

// A node of the type with both value slots zero; these and the makers
// below throw std::bad_alloc.
NodePtr new_node(XoltRirArgType type);
// Nodes owning a copy of length characters of text, terminated.
NodePtr text_node(XoltRirArgType type, const char* text, std::size_t length);
NodePtr wide_text_node(const wchar_t* text, std::size_t length);
// A code-page string node taking over a terminated buffer.
NodePtr owned_text_node(TextPtr text);
NodePtr message_node(MessagePtr message);

// Hangs one node (its next null) at the end of msg's arguments, which then
// own it. The walk to the end starts at last's node when it stands on one (an
// argument of msg, as the caller promises), so appends that keep last on the
// newest argument take constant time; last is then left on the new node.
void append_to_message(XoltRirMsg& msg, NodePtr node, XoltRirArgIter* last) noexcept;

class ArgList {
 public:
  ArgList() = default;
  ArgList(const ArgList&) = delete;
  ArgList& operator=(const ArgList&) = delete;

  void append(NodePtr node) noexcept;
  // Hands the chain over; the list is empty afterwards.
  XoltRirArgNode* commit() noexcept;

 private:
  NodePtr head_;
  XoltRirArgNode* tail_ = nullptr;
};

}  // namespace xoltlog::rir
