#include "output/event_report.h"

#include <cstring>

#include "message/code_page_text.h"
#include "message/wide_argument.h"
#include "output/dispatch.h"
#include "output/event_log_output.h"
#include "output/format_library.h"

namespace xoltlog {
namespace {

// The insertion strings of one event, each from allocate(), released
// together.
class EventStrings {
 public:
  EventStrings() noexcept = default;
  ~EventStrings() {
    for (std::size_t i = 0; i < count_; ++i) {
      release(strings_.get()[i]);
    }
  }
  EventStrings(const EventStrings&) = delete;
  EventStrings& operator=(const EventStrings&) = delete;

  // Room for count strings, all null; false when memory runs out.
  bool reserve(std::size_t count) noexcept {
    if (count == 0) {
      return true;
    }
    strings_.reset(static_cast<wchar_t**>(allocate(count * sizeof(wchar_t*))));
    if (!strings_) {
      return false;
    }
    std::memset(strings_.get(), 0, count * sizeof(wchar_t*));
    count_ = count;
    return true;
  }
  void set(std::size_t index, BlockPtr<wchar_t> text) noexcept {
    strings_.get()[index] = text.release();
  }
  const wchar_t* const* get() const noexcept { return strings_.get(); }
  std::size_t count() const noexcept { return count_; }

 private:
  BlockPtr<wchar_t*> strings_;
  std::size_t count_ = 0;
};

std::size_t argument_count(const XoltRirMsg& rir) noexcept {
  XoltRirArgIter it{};
  std::size_t count = 0;
  for (int at = xoltRirGetArgsBegin(&rir, &it); at == 0; at = xoltRirGetNextArg(&it)) {
    ++count;
  }
  return count;
}

BlockPtr<wchar_t> origin_as_wide(const XoltLogHandle& handle, const XoltLogMsg& msg) noexcept {
  BlockPtr<wchar_t> wide;
  const BlockPtr<char> origin = identification_of(handle, msg);
  if (origin) {
    code_page_to_wide(wide, origin.get());
  }
  return wide;
}

// One string per argument (a failed one stays null), then the origin.
bool catalog_strings(const XoltLogHandle& handle, const XoltLogMsg& msg, bool show_origin,
                     EventStrings& strings) noexcept {
  const std::size_t arguments = argument_count(msg.rir);
  if (!strings.reserve(arguments + (show_origin ? 1 : 0))) {
    return false;
  }
  XoltRirArgIter it{};
  std::size_t index = 0;
  for (int at = xoltRirGetArgsBegin(&msg.rir, &it); at == 0 && index < arguments;
       at = xoltRirGetNextArg(&it), ++index) {
    BlockPtr<wchar_t> argument;
    if (argument_as_wide(it, argument) == XOLTLOG_OK) {
      strings.set(index, std::move(argument));
    }
  }
  if (show_origin) {
    strings.set(arguments, origin_as_wide(handle, msg));
  }
  return true;
}

// The event text of a printf-style message, after the origin when shown.
std::int32_t printf_string(const LibraryLockGuard& held, const XoltLogHandle& handle,
                           const XoltLogMsg& msg, bool show_origin, EventStrings& strings) noexcept {
  if (!strings.reserve(1)) {
    return -1;
  }
  const FormattedText event = format_for_event(held, handle, msg);
  const BlockPtr<char> origin = show_origin ? identification_of(handle, msg) : BlockPtr<char>();
  const char* text = event.text ? event.text.get() : "";
  const char* prefix = origin ? origin.get() : "";
  const std::size_t size = std::strlen(prefix) + std::strlen(text) + 1;
  BlockPtr<char> joined(static_cast<char*>(allocate(size)));
  if (!joined) {
    return -1;
  }
  std::memcpy(joined.get(), prefix, std::strlen(prefix));
  std::memcpy(joined.get() + std::strlen(prefix), text, std::strlen(text) + 1);
  BlockPtr<wchar_t> wide;
  if (code_page_to_wide(wide, joined.get()) != XOLTLOG_OK) {
    return 1;
  }
  strings.set(0, std::move(wide));
  return 0;
}

}  // namespace

std::int32_t report_message(const LibraryLockGuard& held, XoltLogHandle& handle,
                            const XoltLogMsg& msg, bool show_origin) noexcept {
  std::uint32_t event_id = 0;
  if (xoltRirGetTextId(&msg.rir, &event_id) != 0) {
    event_id = 0;
  }
  EventStrings strings;
  if (event_id != 0) {
    if (!catalog_strings(handle, msg, show_origin, strings)) {
      return -1;
    }
  } else if (const std::int32_t made = printf_string(held, handle, msg, show_origin, strings);
             made != 0) {
    return made;
  }
  return report_event(held, handle.oslog, event_type_of(msg), event_id, strings.get(),
                      strings.count());
}

}  // namespace xoltlog
