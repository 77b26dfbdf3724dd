#include "frame/memory.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace xoltlog {

void* allocate(std::uint64_t size) noexcept {
  if (size == 0 || size > std::numeric_limits<std::size_t>::max()) {
    return nullptr;
  }
  return std::malloc(static_cast<std::size_t>(size));
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

}  // namespace xoltlog
