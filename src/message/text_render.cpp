#include "message/text_render.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "message/argument_text.h"
#include "message/printf_direct.h"
#include "message/printf_format.h"

namespace xoltlog {
namespace {

// "[Cannot find catalog for message id=4294967295] " is 49 bytes; the
// estimate keeps the room the prefix has always been given.
constexpr std::uint64_t kPrefixEstimate = 51;
constexpr std::uint64_t kSeparatorEstimate = 1;

bool render_list(const XoltRirMsg* msg, TextSink& sink, int depth) noexcept;

// Kept out of line so that the recursion through nested messages does not
// carry the piece's buffer in every frame.
[[gnu::noinline]] bool emit_value(const XoltRirArgIter& it, std::uint32_t type,
                                  TextSink& sink) noexcept {
  ArgumentText piece(!sink.sizing());
  if (!piece.read(it, type)) {
    return false;
  }
  sink.emit(piece.text(), piece.estimate());
  return true;
}

// depth: how deep the list holding the nested message is, counted as the
// record line counts it, so that what can be logged can be rendered.
bool emit_nested(const XoltRirArgIter& it, TextSink& sink, int depth) noexcept {
  const XoltRirMsg* nested = nullptr;
  if (xoltRirGetArg_rir(&it, &nested) != XOLT_RIR_OK || nested == nullptr ||
      depth >= XOLT_RIR_MAX_NESTING) {
    return false;
  }
  return render_list(nested, sink, depth + 1);
}

void emit_prefix(std::uint32_t id, TextSink& sink) noexcept {
  char prefix[64];
  const int length =
      std::snprintf(prefix, sizeof prefix, "[Cannot find catalog for message id=%" PRIu32 "] ", id);
  sink.emit(std::string_view(prefix, static_cast<std::size_t>(std::max(length, 0))),
            kPrefixEstimate);
}

bool render_list(const XoltRirMsg* msg, TextSink& sink, int depth) noexcept {
  std::uint32_t id = 0;
  if (xoltRirGetTextId(msg, &id) != XOLT_RIR_OK) {
    return false;
  }
  if (id != 0) {
    emit_prefix(id, sink);
  }
  XoltRirArgIter it{};
  if (xoltRirGetArgsBegin(msg, &it) != XOLT_RIR_OK) {
    return true;
  }
  bool first = true;
  do {
    std::uint32_t type = 0;
    if (xoltRirGetArgTypeId(&it, &type) != XOLT_RIR_OK) {
      return false;
    }
    if (type > XOLT_RIR_ARG_NATIVESTRING) {
      return true;
    }
    if (id != 0 && !first) {
      sink.emit(",", kSeparatorEstimate);
    }
    first = false;
    const bool rendered =
        type == XOLT_RIR_ARG_RIR ? emit_nested(it, sink, depth) : emit_value(it, type, sink);
    if (!rendered) {
      return false;
    }
  } while (xoltRirGetNextArg(&it) == XOLT_RIR_OK);
  return true;
}

}  // namespace

TextSink::TextSink(char* destination, std::uint64_t capacity) noexcept
    : destination_(destination), capacity_(capacity) {
  if (capacity_ > 0) {
    length_ = ::strnlen(destination_, static_cast<std::size_t>(capacity_));
  }
}

void TextSink::emit(std::string_view text, std::uint64_t estimate) noexcept {
  if (destination_ == nullptr) {
    size_ += estimate;
    return;
  }
  // An empty piece may have no bytes behind it at all.
  if (text.empty() || length_ + 1 >= capacity_) {
    return;
  }
  const std::uint64_t room = capacity_ - 1 - length_;
  const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(room, text.size()));
  std::memcpy(destination_ + length_, text.data(), count);
  length_ += count;
  destination_[length_] = '\0';
}

bool render_message(const XoltRirMsg* msg, TextSink& sink) noexcept {
  return render_list(msg, sink, 0);
}

bool measure_message(const XoltRirMsg* msg, std::uint64_t& size) noexcept {
  TextSink sizing;
  if (!render_message(msg, sizing)) {
    return false;
  }
  size = sizing.size();
  return true;
}

bool render_text(const XoltRirMsg& msg, BlockPtr<char>& text) noexcept {
  text.reset();
  std::uint64_t size = 0;
  if (!measure_message(&msg, size)) {
    return false;
  }
  if (size == 0) {
    return true;
  }
  text.reset(static_cast<char*>(allocate(size)));
  if (!text) {
    return false;
  }
  std::memset(text.get(), 0, static_cast<std::size_t>(size));
  TextSink fill(text.get(), size);
  if (!render_message(&msg, fill)) {
    text.reset();
    return false;
  }
  return true;
}

namespace {

// The full path: the Rir message of the format, rendered in two passes.
BlockPtr<char> render_through_rir(const char* format, va_list args) noexcept {
  XoltRirMsg msg{};
  if (xoltRirTextV(&msg, format, args) != XOLT_RIR_OK) {
    return nullptr;
  }
  BlockPtr<char> text;
  render_text(msg, text);
  xoltRirFree(&msg);
  return text;
}

// printf's text into buffer (size bytes); its length, or -1 when printf
// fails. The caller's args stay usable.
int print(char* buffer, std::size_t size, const char* format, va_list args) noexcept {
  va_list copy;
  va_copy(copy, args);
  // The format passed renders_as_printf: only conversions that read the
  // arguments printf itself reads.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  const int length = std::vsnprintf(buffer, size, format, copy);
#pragma GCC diagnostic pop
  va_end(copy);
  return length;
}

// A text too long for the caller's buffer, printed again into a heap block
// of its size.
BlockPtr<char> print_to_heap(std::size_t length, const char* format, va_list args) noexcept {
  BlockPtr<char> text(static_cast<char*>(allocate(length + 1)));
  if (text && print(text.get(), length + 1, format, args) != static_cast<int>(length)) {
    text.reset();
  }
  return text;
}

}  // namespace

BlockPtr<char> render_format(const char* format, va_list args) noexcept {
  char buffer[256];
  if (render_plain_printf(buffer, sizeof buffer, format, args) >= 0) {
    return BlockPtr<char>(duplicate_string(buffer));
  }
  if (!renders_as_printf(format)) {
    return render_through_rir(format, args);
  }
  const int length = print(buffer, sizeof buffer, format, args);
  if (length < 0) {
    return render_through_rir(format, args);
  }
  if (static_cast<std::size_t>(length) >= sizeof buffer) {
    return print_to_heap(static_cast<std::size_t>(length), format, args);
  }
  return BlockPtr<char>(duplicate_string(buffer));
}

void RenderedText::render(const char* format, va_list args) noexcept {
  inline_text_ = nullptr;
  heap_.reset();
  if (render_plain_printf(inline_, sizeof inline_, format, args) >= 0) {
    inline_text_ = inline_;
    return;
  }
  if (!renders_as_printf(format)) {
    heap_ = render_through_rir(format, args);
    return;
  }
  const int length = print(inline_, sizeof inline_, format, args);
  if (length < 0) {
    heap_ = render_through_rir(format, args);
  } else if (static_cast<std::size_t>(length) >= sizeof inline_) {
    heap_ = print_to_heap(static_cast<std::size_t>(length), format, args);
  } else {
    inline_text_ = inline_;
  }
}

}  // namespace xoltlog
