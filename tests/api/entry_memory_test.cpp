// A printf-style message is rendered and written without the heap: it is
// logged whole even while every allocation of the library fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "api/handle_fixture.h"
#include "platform/heap.h"
#include "xoltlog/log.h"

namespace xoltlog::test {
namespace {

bool no_allocation() noexcept { return false; }

// Every allocate() and reallocate() of the library fails while it lives.
struct HeapExhausted {
  HeapExhausted() { set_allocation_gate(&no_allocation); }
  ~HeapExhausted() { set_allocation_gate(nullptr); }
};

class EntryMemory : public HandleStore {
 protected:
  std::string all_logs() const {
    std::string all;
    for (const auto& entry : std::filesystem::directory_iterator(logs())) {
      if (entry.path().extension() != ".log") continue;
      std::ifstream in(entry.path());
      std::ostringstream text;
      text << in.rdbuf();
      all += text.str();
    }
    return all;
  }
};

TEST_F(EntryMemory, PrintfStyleMessagesNeedNoHeap) {
  OpenHandle h;
  ASSERT_EQ(xoltLogOpen(kProduct, 5, &h.handle), 0u);
  ASSERT_EQ(xoltLogSetDebugLevel(&h.handle, 6), 0u);
  ASSERT_EQ(xoltLogAppMsg(&h.handle, 0, 1, 0, "warm %s", "up"), 0u);
  {
    const HeapExhausted exhausted;
    EXPECT_EQ(xoltLogAppMsg(&h.handle, 0, 2, 0, "app %s %d of %u", "one", -2, 3u), 0u);
    EXPECT_EQ(xoltLogAppMsg(&h.handle, 0, 2, 0, "app %5.1f|%x", 2.25, 255u), 0u);
    EXPECT_EQ(xoltLogDebugMsg(&h.handle, 0, 3, "who", "debug %s", "two"), 0u);
  }
  const std::string logs = all_logs();
  EXPECT_NE(logs.find(",15:app one -2 of 3,"), std::string::npos) << logs;
  EXPECT_NE(logs.find(",12:app   2.2|ff,"), std::string::npos) << logs;
  EXPECT_NE(logs.find(",9:debug two,"), std::string::npos) << logs;
}

}  // namespace
}  // namespace xoltlog::test
