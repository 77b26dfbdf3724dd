#include "platform/heap.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace xoltlog {
namespace {

std::atomic<AllocationGate> g_gate{nullptr};

bool representable(std::uint64_t size) noexcept {
  return size != 0 && size <= std::numeric_limits<std::size_t>::max();
}

bool gate_refuses() noexcept {
  const AllocationGate gate = g_gate.load(std::memory_order_relaxed);
  return gate != nullptr && !gate();
}

}  // namespace

void* allocate(std::uint64_t size) noexcept {
  if (!representable(size) || gate_refuses()) {
    return nullptr;
  }
  return std::malloc(static_cast<std::size_t>(size));
}

void* reallocate(void* block, std::uint64_t size) noexcept {
  if (!representable(size) || gate_refuses()) {
    return nullptr;
  }
  return std::realloc(block, static_cast<std::size_t>(size));
}

void release(void* block) noexcept { std::free(block); }

char* duplicate_string(const char* text) noexcept {
  if (text == nullptr) {
    return nullptr;
  }
  const std::size_t size = std::strlen(text) + 1;
  auto* copy = static_cast<char*>(allocate(size));
  if (copy != nullptr) {
    std::memcpy(copy, text, size);
  }
  return copy;
}

void set_allocation_gate(AllocationGate gate) noexcept {
  g_gate.store(gate, std::memory_order_relaxed);
}

}  // namespace xoltlog
