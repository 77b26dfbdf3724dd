#include "support/allocation_faults.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include "platform/heap.h"

namespace xoltlog::test {
namespace {

constexpr long kUnarmed = -1;

std::atomic<long> g_left{kUnarmed};  // successes before the fault
std::atomic<bool> g_failed{false};

// True when this allocation may go ahead.
bool allocation_allowed() noexcept {
  long left = g_left.load(std::memory_order_relaxed);
  while (left != kUnarmed) {
    if (g_left.compare_exchange_weak(left, left == 0 ? kUnarmed : left - 1,
                                     std::memory_order_relaxed)) {
      if (left == 0) {
        g_failed.store(true, std::memory_order_relaxed);
        return false;
      }
      return true;
    }
  }
  return true;
}

}  // namespace

void arm_allocation_fault(long allowed) {
  set_allocation_gate(&allocation_allowed);
  g_failed.store(false);
  g_left.store(allowed);
}

bool disarm_allocation_fault() {
  g_left.store(kUnarmed);
  return g_failed.load();
}

}  // namespace xoltlog::test

void* operator new(std::size_t size) {
  void* block = xoltlog::test::allocation_allowed() ? std::malloc(size == 0 ? 1 : size) : nullptr;
  if (block == nullptr) {
    throw std::bad_alloc();
  }
  return block;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return xoltlog::test::allocation_allowed() ? std::malloc(size == 0 ? 1 : size) : nullptr;
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
