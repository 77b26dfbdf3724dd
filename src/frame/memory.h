// The heap through which every block handed to a caller passes, and owners
// for such blocks inside the library.
#pragma once

#include <cstdint>
#include <memory>

namespace xoltlog {

// Null when size is 0, does not fit the address space, or memory is
// exhausted.
void* allocate(std::uint64_t size) noexcept;
void release(void* block) noexcept;
// A heap copy of text from allocate(); null for null text or no memory.
char* duplicate_string(const char* text) noexcept;

struct ReleaseBlock {
  void operator()(void* block) const noexcept { release(block); }
};

// Owns a block from allocate() until it is handed to a caller.
template <typename T>
using BlockPtr = std::unique_ptr<T, ReleaseBlock>;

}  // namespace xoltlog
