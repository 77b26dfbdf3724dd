#include "output/dispatch.h"

#include <cinttypes>
#include <cstdio>

#include "output/event_report.h"
#include "output/format_library.h"
#include "platform/event_log.h"
#include "xoltlog/config.h"

namespace xoltlog {
namespace {

constexpr std::uint32_t kStdout = XOLTLOG_OUT_STDOUT;
constexpr std::uint32_t kStderr = XOLTLOG_OUT_STDERR;
constexpr std::uint32_t kOslog = XOLTLOG_OUT_OSLOG;
constexpr std::uint32_t kShowOrigin = XOLTLOG_OUT_OSLOG_ID;

bool is_diag_or_app(std::uint32_t type) noexcept {
  return type == XOLTLOG_MSG_DIAG || type == XOLTLOG_MSG_APP;
}

// What reaches the console: standard output for every kind but audit,
// standard error for diagnostic and application messages.
std::uint32_t console_output(const LibraryLockGuard& held, const XoltLogHandle& handle,
                             const XoltLogMsg& msg, std::uint32_t flags) noexcept {
  FormattedText line = format_for_console(held, handle, msg);
  if (line.status == FormatStatus::kFailed) {
    return line.code;
  }
  // Without the library, or without its function, there is no line to show.
  if (line.status != FormatStatus::kFormatted || !line.text) {
    return XOLTLOG_OK;
  }
  const char* text = line.text.get();
  if ((flags & kStdout) != 0 && msg.type != XOLTLOG_MSG_AUDIT) {
    std::fprintf(stdout, "%s\n", text);
  }
  if ((flags & kStderr) != 0 && is_diag_or_app(msg.type)) {
    std::fprintf(stderr, "%s\n", text);
  }
  return XOLTLOG_OK;
}

const char* or_empty(const char* text) noexcept { return text != nullptr ? text : ""; }

}  // namespace

std::uint16_t event_type_of(const XoltLogMsg& msg) noexcept {
  if (msg.type == XOLTLOG_MSG_SECURE_AUDIT) {
    return msg.outcome == 0 ? platform::kEventAuditSuccess : platform::kEventAuditFailure;
  }
  switch (msg.attr.severity) {
    case 1: return platform::kEventWarning;
    case 2:
    case 3:
    case 4: return platform::kEventError;
    default: return platform::kEventInformation;
  }
}

BlockPtr<char> identification_of(const XoltLogHandle& handle, const XoltLogMsg& msg) noexcept {
  const std::uint32_t product = handle.config != nullptr ? handle.config->product_id : 0;
  const std::uint32_t originator = handle.config != nullptr ? handle.config->originator_id : 0;
  const auto print = [&](char* out, std::size_t size) {
    return std::snprintf(out, size,
                         "%" PRIu32 ",%" PRIu32 ",%" PRIu32 ",%" PRIu32 ",%" PRIu32 ",%s,%s,%d ",
                         product, originator, msg.sequence, msg.process_id, msg.thread_id,
                         or_empty(msg.context_token), or_empty(msg.who_or_subject),
                         static_cast<int>(msg.outcome));
  };
  const int length = print(nullptr, 0);
  BlockPtr<char> text(length >= 0 ? static_cast<char*>(allocate(static_cast<std::uint64_t>(length) + 1))
                                  : nullptr);
  if (text) {
    print(text.get(), static_cast<std::size_t>(length) + 1);
  }
  return text;
}

std::uint32_t dispatch_outputs(const LibraryLockGuard& held, XoltLogHandle& handle,
                               const XoltLogMsg& msg, std::uint32_t flags) noexcept {
  std::uint32_t result = XOLTLOG_OK;
  if ((flags & kStdout) != 0 || ((flags & kStderr) != 0 && is_diag_or_app(msg.type))) {
    result = console_output(held, handle, msg, flags);
  }
  if ((flags & kOslog) != 0) {
    const bool show_origin = (flags & kShowOrigin) != 0;
    if (msg.type == XOLTLOG_MSG_APP) {
      report_message(held, handle, msg, show_origin);
    } else if (msg.type == XOLTLOG_MSG_SECURE_AUDIT) {
      return static_cast<std::uint32_t>(report_message(held, handle, msg, show_origin));
    }
  }
  return result;
}

}  // namespace xoltlog
