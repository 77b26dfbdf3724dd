// Exhaustion at every allocation of a build: the status is -3, the message
// stays zeroed and, as the leak checker confirms, nothing stays allocated.
// The global allocator is replaced for this whole executable; it fails only
// while a test arms it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <new>

#include "support/rir_messages.h"

namespace {

long allocations_left = -1;  // -1: never fail

}  // namespace

void* operator new(std::size_t size) {
  if (allocations_left == 0) {
    throw std::bad_alloc();
  }
  if (allocations_left > 0) {
    --allocations_left;
  }
  if (void* block = std::malloc(size == 0 ? 1 : size)) {
    return block;
  }
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
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

namespace {

using rir_test::OwnedMsg;

// Fails the first, second, ... allocation of the build until it succeeds.
void expect_clean_exhaustion(const std::function<int32_t(XoltRirMsg*)>& build) {
  int failures = 0;
  for (long allowed = 0;; ++allowed) {
    OwnedMsg msg;
    allocations_left = allowed;
    const int32_t status = build(msg.get());
    allocations_left = -1;
    if (status == XOLT_RIR_OK) {
      break;
    }
    ASSERT_EQ(status, XOLT_RIR_ENOMEM) << "after " << allowed << " allocations";
    ASSERT_TRUE(msg.zeroed());
    ++failures;
  }
  EXPECT_GT(failures, 3);
}

TEST(AllocFailure, EveryBuildStepReleasesWhatItHeld) {
  OwnedMsg nested;
  ASSERT_EQ(rir_test::build_ex(nested.get(), 0, 1, "%s%ls%{utf8}", "a", L"b", "c"), XOLT_RIR_OK);
  OwnedMsg outer;
  ASSERT_EQ(rir_test::build_ex(outer.get(), 0, 2, "%{rir}%{rir}", nested.get(), nested.get()),
            XOLT_RIR_OK);
  expect_clean_exhaustion([&](XoltRirMsg* msg) {
    return rir_test::build_ex(msg, 1, 3, "%s %ls %c %{rir} %d", "x", L"y", 'z', outer.get(), 4);
  });
  expect_clean_exhaustion([&](XoltRirMsg* msg) {
    return rir_test::build_text(msg, "lit %5d %% %s %x %{rir} %.2f end", 1, "s", 2u, outer.get(),
                                0.5);
  });
}

}  // namespace
