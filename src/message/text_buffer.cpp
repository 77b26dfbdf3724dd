#include "message/text_buffer.h"

#include <atomic>
#include <cstring>
#include <limits>

#include "platform/heap.h"

namespace xoltlog {
namespace {

constexpr std::uint64_t kGrowthStep = kTextInlineSize;

std::atomic<int> growths_before_fault{-1};

// Consumes one step of the armed countdown; true when this growth must fail.
bool growth_fault_due() noexcept {
  int left = growths_before_fault.load(std::memory_order_relaxed);
  while (left >= 0) {
    const int next = left == 0 ? -1 : left - 1;
    if (growths_before_fault.compare_exchange_weak(left, next, std::memory_order_relaxed)) {
      return left == 0;
    }
  }
  return false;
}

bool on_heap(const XoltLogTextMsg& buffer) noexcept { return buffer.capacity > kTextInlineSize; }

// One step more, or enough for the reservation and one step beyond it. Zero
// when the size cannot be represented.
std::uint64_t grown_capacity(std::uint64_t capacity, std::uint64_t used, std::uint64_t n) noexcept {
  constexpr std::uint64_t kMax = std::numeric_limits<std::size_t>::max();
  const std::uint64_t stepped = capacity + kGrowthStep;
  if (n <= stepped - used) {
    return stepped;
  }
  if (n > kMax - stepped) {
    return 0;
  }
  return n + stepped;
}

// Inline content moves to a new block; a heap block may be extended in place.
// Blocks come from allocate(), so reallocate() applies.
char* resized_storage(XoltLogTextMsg& buffer, std::uint64_t capacity, std::uint64_t used) noexcept {
  if (growth_fault_due()) {
    return nullptr;
  }
  if (on_heap(buffer)) {
    return static_cast<char*>(reallocate(buffer.storage, capacity));
  }
  auto* block = static_cast<char*>(allocate(capacity));
  if (block != nullptr) {
    std::memcpy(block, buffer.storage, static_cast<std::size_t>(used));
  }
  return block;
}

}  // namespace

bool grow_text(XoltLogTextMsg& buffer, std::uint64_t n) noexcept {
  const std::uint64_t used = text_size(buffer);
  const std::uint64_t capacity = grown_capacity(buffer.capacity, used, n);
  char* storage = capacity == 0 ? nullptr : resized_storage(buffer, capacity, used);
  if (storage == nullptr) {
    // A failed realloc leaves the old block alive: it goes here, once, and
    // the buffer is left with nothing for anyone to release again.
    free_text_buffer(buffer);
    return false;
  }
  buffer.storage = storage;
  buffer.capacity = capacity;
  buffer.remaining = capacity - used;
  return true;
}

void init_text_buffer(XoltLogTextMsg& buffer) noexcept {
  buffer.storage = buffer.inline_storage;
  buffer.remaining = kTextInlineSize;
  buffer.capacity = kTextInlineSize;
}

void free_text_buffer(XoltLogTextMsg& buffer) noexcept {
  if (on_heap(buffer)) {
    release(buffer.storage);
  }
  init_text_buffer(buffer);
}

void fail_text_growth_after(int successes) noexcept {
  growths_before_fault.store(successes < 0 ? -1 : successes, std::memory_order_relaxed);
}

}  // namespace xoltlog
