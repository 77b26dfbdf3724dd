// The growable byte buffer in which record lines are assembled and read back:
// 4096 inline bytes first, then a heap block that grows in steps of at least
// 4096 bytes. The content is the first capacity - remaining bytes of the
// storage; nothing here NUL-terminates it.
//
// A buffer is owned by one thread at a time; the functions take no lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "xoltlog/record_format.h"

namespace xoltlog {

inline constexpr std::uint64_t kTextInlineSize = XOLTLOG_TEXT_INLINE_SIZE;

// Empty content on the inline storage; whatever the buffer held is ignored.
void init_text_buffer(XoltLogTextMsg& buffer) noexcept;

// Releases the heap block, if the buffer has one, and leaves the buffer empty
// on its inline storage, so that releasing it again does nothing.
void free_text_buffer(XoltLogTextMsg& buffer) noexcept;

// Makes room for n bytes after the content; false when the growth fails (the
// heap block is then already released and the buffer is empty on its inline
// storage, so the caller's own release is harmless).
bool grow_text(XoltLogTextMsg& buffer, std::uint64_t n) noexcept;

inline std::uint64_t text_size(const XoltLogTextMsg& buffer) noexcept {
  return buffer.capacity - buffer.remaining;
}

inline std::string_view text_content(const XoltLogTextMsg& buffer) noexcept {
  return {buffer.storage, static_cast<std::size_t>(text_size(buffer))};
}

// Hands out the n bytes after the content for the caller to fill; the content
// grows by n. When n is not below the free space the buffer grows first
// (so a reservation that would exactly fill it grows it too). Null when the
// growth fails, as grow_text says. Inline: a record line takes a handful.
inline char* reserve_text(XoltLogTextMsg& buffer, std::uint64_t n) noexcept {
  if (n >= buffer.remaining && !grow_text(buffer, n)) {
    return nullptr;
  }
  char* slot = buffer.storage + text_size(buffer);
  buffer.remaining -= n;
  return slot;
}

// Gives the last n bytes of the content back to the free space; n must not
// exceed the content size.
inline void unreserve_text(XoltLogTextMsg& buffer, std::uint64_t n) noexcept {
  buffer.remaining += n;
}

// Fault injection for tests: after `successes` more successful growths the
// next growth fails as exhausted memory would, once; a negative count turns
// this off again. Process-wide.
void fail_text_growth_after(int successes) noexcept;

}  // namespace xoltlog
