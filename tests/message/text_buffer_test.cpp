#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "message/text_buffer.h"
#include "xoltlog/record_format.h"

namespace {

using xoltlog::reserve_text;

// Fills n reserved bytes with a pattern that tells their place in the content.
void append_pattern(XoltLogTextMsg& buffer, std::uint64_t n) {
  const std::uint64_t start = xoltlog::text_size(buffer);
  char* slot = reserve_text(buffer, n);
  ASSERT_NE(slot, nullptr);
  for (std::uint64_t i = 0; i < n; ++i) {
    slot[i] = static_cast<char>('a' + (start + i) % 26);
  }
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

// Each row: content before, reservation, capacity after; the content stays
// in place across the growth.
TEST(TextBuffer, GrowsByAStepOrByEnoughForTheReservation) {
  struct Case {
    std::uint64_t used;
    std::uint64_t n;
    std::uint64_t capacity;
  };
  const Case cases[] = {
      {0, 4095, 4096},     // fits with a byte to spare
      {100, 3996, 8192},   // would exactly fill: grows
      {100, 8092, 8192},   // one step is exactly enough
      {100, 8093, 16285},  // beyond one step: n + 4096 + capacity
  };
  for (const Case& c : cases) {
    XoltLogTextMsg buffer;
    std::memset(&buffer, 0x5A, sizeof buffer);
    init_text_msg(&buffer);
    ASSERT_TRUE(is_empty_inline(buffer));
    append_pattern(buffer, c.used);
    append_pattern(buffer, c.n);
    EXPECT_EQ(buffer.capacity, c.capacity) << c.used << "+" << c.n;
    EXPECT_EQ(buffer.remaining, c.capacity - c.used - c.n);
    EXPECT_EQ(buffer.storage == buffer.inline_storage, c.capacity == 4096);
    EXPECT_TRUE(holds_pattern(buffer));
    free_text_msg(&buffer);
    EXPECT_TRUE(is_empty_inline(buffer));
  }
}

// A failed growth releases the heap block itself (the leak checker and the
// double-free checker watch both sides) and leaves nothing to release.
TEST(TextBuffer, FailedGrowthReleasesTheBlockExactlyOnce) {
  // Too large to represent once grown, or to allocate; inline and on the heap.
  for (const std::uint64_t n : {UINT64_MAX - 8192, std::uint64_t{1} << 62}) {
    for (const std::uint64_t used : {10u, 10000u}) {
      XoltLogTextMsg buffer;
      init_text_msg(&buffer);
      append_pattern(buffer, used);
      EXPECT_EQ(reserve_text(buffer, n), nullptr) << n;
      EXPECT_TRUE(is_empty_inline(buffer));
      free_text_msg(&buffer);
    }
  }
}

}  // namespace
