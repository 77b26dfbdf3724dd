// A typical record line is assembled without a single heap allocation while
// it fits the inline storage. Every allocation of the process is counted:
// through the sanitizer's allocation hooks under AddressSanitizer, and by
// standing in for the C heap's entry points otherwise.
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <string>

#include "message/record_lines.h"
#include "support/rir_messages.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void count_allocation() noexcept {
  if (counting.load(std::memory_order_relaxed)) {
    allocations.fetch_add(1, std::memory_order_relaxed);
  }
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)

extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*,
                                                                             std::size_t),
                                                         void (*free_hook)(const volatile void*));

namespace {

void on_malloc(const volatile void*, std::size_t) { count_allocation(); }
void on_free(const volatile void*) {}

const bool hooks_installed = __sanitizer_install_malloc_and_free_hooks(on_malloc, on_free) != 0;

}  // namespace

#else

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void __libc_free(void* block);

void* malloc(std::size_t size) noexcept {
  count_allocation();
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) noexcept {
  count_allocation();
  return __libc_calloc(count, size);
}
void* realloc(void* block, std::size_t size) noexcept {
  count_allocation();
  return __libc_realloc(block, size);
}
void free(void* block) noexcept { __libc_free(block); }
}

namespace {
const bool hooks_installed = true;
}  // namespace

#endif

namespace {

using record_test::borrowed;

// Allocations made while serializing msg and copying nothing out.
long allocations_to_serialize(XoltLogMsg msg) {
  XoltLogTextMsg buffer;
  allocations = 0;
  counting = true;
  const uint32_t result = xoltLogMsgSerialize(&msg, &buffer);
  counting = false;
  EXPECT_EQ(result, XOLTLOG_OK);
  free_text_msg(&buffer);
  return allocations.load();
}

TEST(RecordAllocations, TypicalRecordsStayOffTheHeapUntilTheyOutgrowTheInlineStorage) {
  ASSERT_TRUE(hooks_installed);
  rir_test::OwnedMsg catalog;
  ASSERT_EQ(rir_test::build_ex(catalog.get(), 0, 1234, "%s%{utf8}%d%u%f%p%{time}%{oserr}", "a", "b",
                               -1, 2u, 0.5, static_cast<void*>(&catalog), int64_t{3}, 4),
            XOLT_RIR_OK);
  XoltLogMsg msg = record_test::header_record(XOLTLOG_MSG_APP, 12, 1684318830123);
  msg.text = borrowed(
      "Backup of volume /srv/data finished with 3 warnings; next run scheduled at 02:00 "
      "(retry 1 of 5)");
  msg.who_or_subject = borrowed("backupd");
  msg.attr.severity = 1;
  msg.rir = *catalog;
  EXPECT_EQ(allocations_to_serialize(msg), 0);
  msg.utf8 = 1;
  EXPECT_EQ(allocations_to_serialize(msg), 0);

  // The counter is live: a line beyond the inline storage is seen to allocate.
  const std::string long_text(5000, 'x');
  msg.text = borrowed(long_text.c_str());
  EXPECT_GE(allocations_to_serialize(msg), 1);
}

}  // namespace
