// The outputs when the formatting library cannot help: absent from beside
// the program, or present without its function (this executable's
// directory holds a stub under its name when XOLTLOG_FORMAT_STUB is set).
// The console prints nothing and succeeds; an event still goes out.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "frame/library_lock.h"
#include "output/dispatch.h"
#include "support/syslog_listener.h"
#include "xoltlog/frame.h"
#include "xoltlog/output.h"

namespace xoltlog {
namespace {

TEST(FormatLibraryMissing, ConsolePrintsNothingAndEventsCarryTheIdentificationAlone) {
  test::SyslogListener listener;
  test::SyslogSocketVariable variable(listener.path());
  XoltLogHandle handle{};
  XoltLogEventSource source{};
  std::strcpy(source.name, "nolib");
  ASSERT_EQ(osLogOpen(&source, &handle.oslog), 0);
  XoltLogMsg msg{};
  msg.type = XOLTLOG_MSG_APP;
  msg.text = xoltLogSafeStrdup("unseen");
  msg.sequence = 5;
  {
    const LibraryLockGuard held("ConsolePrintsNothing()");
    testing::internal::CaptureStdout();
    EXPECT_EQ(dispatch_outputs(held, handle, msg, XOLTLOG_OUT_STDOUT), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(dispatch_outputs(held, handle, msg, XOLTLOG_OUT_OSLOG | XOLTLOG_OUT_OSLOG_ID), 0u);
    EXPECT_EQ(dispatch_outputs(held, handle, msg, XOLTLOG_OUT_OSLOG), 0u);
  }
  const std::optional<std::string> with_origin = listener.receive();
  ASSERT_TRUE(with_origin.has_value());
  EXPECT_NE(with_origin->find("] 0,0,5,0,0,,,0 "), std::string::npos) << *with_origin;
  const std::optional<std::string> plain = listener.receive();
  ASSERT_TRUE(plain.has_value());
  EXPECT_EQ(plain->substr(plain->size() - 2), "] ") << *plain;
  osLogClose(&handle.oslog);
  xoltLogFreeMsg(&msg);
}

}  // namespace
}  // namespace xoltlog
