// Loading a library beside this one takes no allocation of the library's
// own. The global allocator is replaced for this whole executable; it fails
// only while a test arms it.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <new>
#include <string>

#include "platform/shared_lib.h"

namespace {

bool fail_allocations = false;

}  // namespace

void* operator new(std::size_t size) {
  if (!fail_allocations) {
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
      return block;
    }
  }
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace {

// With every operator new failing, the probe beside this program is still
// found by its bare name, which the system's search alone would not find;
// a name too long for any path is refused without harm.
TEST(SharedLib, BareNameFoundBesideWithoutAnyAllocation) {
  const std::string too_long(PATH_MAX, 'x');
  fail_allocations = true;
  void* module = xoltlog::platform::load_library("xoltLogTestProbe_3.so");
  void* nothing = xoltlog::platform::load_library(too_long.c_str());
  fail_allocations = false;
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(nothing, nullptr);
  xoltlog::platform::unload_library(module);
}

}  // namespace
