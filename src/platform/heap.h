// The heap through which every block handed to a caller passes, and owners
// for such blocks inside the library. At the bottom of the layers, so that
// the platform layer hands out blocks callers release like any other.
#pragma once

#include <cstdint>
#include <memory>

namespace xoltlog {

// Null when size is 0, does not fit the address space, or memory is
// exhausted.
void* allocate(std::uint64_t size) noexcept;
// Resizes a block from allocate(); null (the block left as it was) when
// size is 0, does not fit, or memory is exhausted.
void* reallocate(void* block, std::uint64_t size) noexcept;
void release(void* block) noexcept;
// A heap copy of text from allocate(); null for null text or no memory.
char* duplicate_string(const char* text) noexcept;

struct ReleaseBlock {
  void operator()(void* block) const noexcept { release(block); }
};

// Owns a block from allocate() until it is handed to a caller.
template <typename T>
using BlockPtr = std::unique_ptr<T, ReleaseBlock>;

// Test seam: while a gate is set, allocate() and reallocate() ask it first
// and fail as if memory were exhausted when it says no. Set and cleared by
// tests only, while no other thread allocates; null (the default) costs one
// load per allocation.
using AllocationGate = bool (*)() noexcept;
void set_allocation_gate(AllocationGate gate) noexcept;

}  // namespace xoltlog
