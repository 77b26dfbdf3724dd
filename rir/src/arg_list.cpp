#include "arg_list.h"

#include <cstring>
#include <cwchar>
#include <utility>

namespace xoltlog::rir {
namespace {

// The union members are const for readers; the owner casts it away only to
// release what it allocated itself.
void free_payload(XoltRirArgNode& node) noexcept {
  switch (node.type) {
    case XOLT_RIR_ARG_WSTRING:
      delete[] const_cast<wchar_t*>(node.value.first.wide_string);
      break;
    case XOLT_RIR_ARG_UTF8STRING:
    case XOLT_RIR_ARG_NATIVESTRING:
      delete[] const_cast<char*>(node.value.first.string);
      break;
    case XOLT_RIR_ARG_RIR:
      MessageDeleter{}(const_cast<XoltRirMsg*>(node.value.first.rir));
      break;
    default:
      break;
  }
}

}  // namespace

void free_chain(XoltRirArgNode* head) noexcept {
  while (head != nullptr) {
    XoltRirArgNode* next = head->next;
    free_payload(*head);
    delete head;
    head = next;
  }
}

void free_message(XoltRirMsg& msg) noexcept {
  free_chain(msg.args);
  msg = XoltRirMsg{};
}

void MessageDeleter::operator()(XoltRirMsg* msg) const noexcept {
  if (msg != nullptr) {
    free_chain(msg->args);
    delete msg;
  }
}

NodePtr new_node(XoltRirArgType type) {
  NodePtr node(new XoltRirArgNode{});
  node->type = type;
  return node;
}

NodePtr text_node(XoltRirArgType type, const char* text, std::size_t length) {
  NodePtr node = new_node(type);
  TextPtr copy(new char[length + 1]);
  std::memcpy(copy.get(), text, length);
  copy[length] = '\0';
  node->value.first.string = copy.release();
  return node;
}

NodePtr wide_text_node(const wchar_t* text, std::size_t length) {
  NodePtr node = new_node(XOLT_RIR_ARG_WSTRING);
  std::unique_ptr<wchar_t[]> copy(new wchar_t[length + 1]);
  std::wmemcpy(copy.get(), text, length);
  copy[length] = L'\0';
  node->value.first.wide_string = copy.release();
  return node;
}

NodePtr owned_text_node(TextPtr text) {
  NodePtr node = new_node(XOLT_RIR_ARG_NATIVESTRING);
  node->value.first.string = text.release();
  return node;
}

NodePtr message_node(MessagePtr message) {
  NodePtr node = new_node(XOLT_RIR_ARG_RIR);
  node->value.first.rir = message.release();
  return node;
}

void append_to_message(XoltRirMsg& msg, NodePtr node, XoltRirArgIter* last) noexcept {
  // The iterator is a reader's; the message it walks is the caller's own.
  auto* tail = last != nullptr ? const_cast<XoltRirArgNode*>(last->node) : nullptr;
  if (tail == nullptr) {
    tail = msg.args;
  }
  while (tail != nullptr && tail->next != nullptr) {
    tail = tail->next;
  }
  XoltRirArgNode* added = node.release();
  (tail == nullptr ? msg.args : tail->next) = added;
  if (last != nullptr) {
    last->node = added;
  }
}

void ArgList::append(NodePtr node) noexcept {
  XoltRirArgNode* last = node.get();
  while (last->next != nullptr) {
    last = last->next;
  }
  if (tail_ == nullptr) {
    head_ = std::move(node);
  } else {
    tail_->next = node.release();
  }
  tail_ = last;
}

XoltRirArgNode* ArgList::commit() noexcept {
  tail_ = nullptr;
  return head_.release();
}

}  // namespace xoltlog::rir
