// Rendering a Rir message into narrow text without a catalog, in two passes
// over one walk: the sizing pass adds up each piece's estimate, the fill pass
// appends the pieces themselves, truncated to the buffer the estimates
// sized. Both passes take every decision (failures, separators, where the
// walk stops) in the same place, so a buffer sized by the first always suits
// the second. The forms and estimates are tabled in
// include/xoltlog/text_render.h.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string_view>

#include "platform/heap.h"
#include "xoltlog/rir.h"

namespace xoltlog {

// Where the pieces go: a running total of estimates, or a buffer.
class TextSink {
 public:
  // Sizing pass.
  TextSink() noexcept = default;
  // Fill pass: destination holds capacity bytes and a text, which the pieces
  // are appended to; a text without its NUL within capacity leaves no room.
  TextSink(char* destination, std::uint64_t capacity) noexcept;

  void emit(std::string_view text, std::uint64_t estimate) noexcept;
  bool sizing() const noexcept { return destination_ == nullptr; }
  std::uint64_t size() const noexcept { return size_; }

 private:
  char* destination_ = nullptr;
  std::uint64_t capacity_ = 0;
  std::uint64_t length_ = 0;
  std::uint64_t size_ = 0;
};

// Walks msg into sink; false on any failure (the catalog library refuses a
// read, a piece cannot be rendered, nesting passes XOLT_RIR_MAX_NESTING).
// The library's own recursion is bounded by that limit.
bool render_message(const XoltRirMsg* msg, TextSink& sink) noexcept;

// The sizing pass: the bytes msg's text needs, nothing for a failure.
bool measure_message(const XoltRirMsg* msg, std::uint64_t& size) noexcept;

// A printf-style format rendered into a new text from allocate(); null when
// the format is refused, the text is empty or cannot be rendered, or memory
// runs out.
BlockPtr<char> render_format(const char* format, va_list args) noexcept;

// msg rendered into a new text from allocate(), null for an empty text:
// false when it cannot be rendered or memory runs out.
bool render_text(const XoltRirMsg& msg, BlockPtr<char>& text) noexcept;

}  // namespace xoltlog
