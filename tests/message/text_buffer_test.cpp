#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "message/text_buffer.h"
#include "xoltlog/record_format.h"

namespace {

// Fills n reserved bytes with a pattern that tells their place in the
// content; false when the reservation fails.
bool append_pattern(XoltLogTextMsg& buffer, std::uint64_t n) {
  const std::uint64_t start = xoltlog::text_size(buffer);
  char* slot = xoltlog::reserve_text(buffer, n);
  for (std::uint64_t i = 0; slot != nullptr && i < n; ++i) {
    slot[i] = static_cast<char>('a' + (start + i) % 26);
  }
  return slot != nullptr;
}

bool holds_pattern(const XoltLogTextMsg& buffer) {
  const std::string_view content = xoltlog::text_content(buffer);
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (content[i] != static_cast<char>('a' + i % 26)) {
      return false;
    }
  }
  return true;
}

bool is_empty_inline(const XoltLogTextMsg& buffer) {
  return buffer.storage == buffer.inline_storage && buffer.capacity == 4096 &&
         buffer.remaining == 4096;
}

// Each row: content before, reservation, capacity after; the content stays in
// place across the growth. Capacity 0: the reservation is too large to
// represent once grown, or to allocate, and the failed growth releases the
// heap block itself, leaving nothing to release (the leak and double-free
// checkers watch both sides).
TEST(TextBuffer, GrowsByAStepOrByEnoughForTheReservation) {
  const struct {
    std::uint64_t used, n, capacity;
  } cases[] = {
      {0, 4095, 4096},     // fits with a byte to spare
      {100, 3996, 8192},   // would exactly fill: grows
      {100, 8092, 8192},   // one step is exactly enough
      {100, 8093, 16285},  // beyond one step: n + 4096 + capacity
      {10, UINT64_MAX - 8192, 0},
      {10000, UINT64_MAX - 8192, 0},
      {10, std::uint64_t{1} << 62, 0},
      {10000, std::uint64_t{1} << 62, 0},
  };
  init_text_msg(nullptr);  // ignored, as a null buffer is by free_text_msg
  free_text_msg(nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.used << "+" << c.n);
    XoltLogTextMsg buffer;
    std::memset(&buffer, 0x5A, sizeof buffer);
    init_text_msg(&buffer);
    ASSERT_TRUE(is_empty_inline(buffer));
    ASSERT_TRUE(append_pattern(buffer, c.used));
    if (c.capacity == 0) {
      EXPECT_EQ(xoltlog::reserve_text(buffer, c.n), nullptr);
      EXPECT_TRUE(is_empty_inline(buffer));
    } else {
      ASSERT_TRUE(append_pattern(buffer, c.n));
      EXPECT_EQ(buffer.capacity, c.capacity);
      EXPECT_EQ(buffer.remaining, c.capacity - c.used - c.n);
      EXPECT_EQ(buffer.storage == buffer.inline_storage, c.capacity == 4096);
      EXPECT_TRUE(holds_pattern(buffer));
    }
    free_text_msg(&buffer);
    EXPECT_TRUE(is_empty_inline(buffer));
  }
}

}  // namespace
