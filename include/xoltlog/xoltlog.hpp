// C++ convenience over the C interface: a log handle and a context that
// close themselves, and logging calls that check the level before anything
// is formatted. Header only; it calls the exported C functions and nothing
// else, so no C++ type crosses the library boundary.
//
// Results stay what the C functions return (uint32_t result codes, see
// xoltlog/result.h). A caller that prefers exceptions wraps a call in
// xoltlog::check(), which throws xoltlog::Error for any code but 0; nothing
// here throws otherwise, except std::bad_alloc from open and create.
//
//   xoltlog::Handle log;
//   if (log.open(product, originator) == XOLTLOG_OK) {
//     log.app(0, "billing", 0, "started with %d workers", workers);
//     log.debug_lazy(4, "billing", [&] { return describe(queue); });
//   }
#ifndef XOLTLOG_XOLTLOG_HPP
#define XOLTLOG_XOLTLOG_HPP

#include <cstdarg>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "xoltlog/xoltlog.h"

namespace xoltlog {

// The meaning of a result code, from the table of xoltlog/result.h.
inline const char* result_text(std::uint32_t code) noexcept {
#define XOLTLOG_RESULT_CASE_(name, value, meaning) \
  case (value):                                   \
    return meaning;
  switch (code) { XOLTLOG_RESULT_TABLE(XOLTLOG_RESULT_CASE_, XOLTLOG_RESULT_CASE_) }
#undef XOLTLOG_RESULT_CASE_
  return "unknown result";
}

// A nonzero result code, for callers that opt in through check().
class Error : public std::runtime_error {
 public:
  explicit Error(std::uint32_t code)
      : std::runtime_error(std::string("xoltlog result ") + std::to_string(code) + ": " +
                           result_text(code)),
        code_(code) {}
  std::uint32_t code() const noexcept { return code_; }

 private:
  std::uint32_t code_;
};

// Passes 0 through and throws Error for any other code. Note that an open
// returning 22 (no event log) leaves a handle that still writes its files.
inline std::uint32_t check(std::uint32_t code) {
  if (code != XOLTLOG_OK) {
    throw Error(code);
  }
  return code;
}

#if defined(__GNUC__)
#define XOLTLOG_PRINTF_(format_index) __attribute__((format(printf, format_index, format_index + 1)))
#else
#define XOLTLOG_PRINTF_(format_index)
#endif

// The logging calls, shared by handles and contexts. The C storage lives on
// the heap so that moving the C++ object never moves it: the file writer
// links open handles and live contexts by address. Calls on an object that
// holds no storage (never opened, closed, moved from) return 3.
class Logger {
 public:
  XoltLogHandle* get() const noexcept { return c_.get(); }
  explicit operator bool() const noexcept { return c_ != nullptr; }

  // Call flags added to every message (XOLTLOG_FLAG_STDOUT, ...).
  void set_call_flags(std::uint32_t flags) noexcept { flags_ = flags; }

  // Whether a message of level would be written now; reading the level
  // runs the handle's reload check like the C getters do.
  bool debug_enabled(std::int32_t level) const noexcept {
    std::int32_t current = 0;
    return c_ && xoltLogGetDebugLevel(c_.get(), &current) == XOLTLOG_OK && level <= current;
  }
  bool diag_enabled(std::int32_t level) const noexcept {
    std::int32_t current = 0;
    return c_ && xoltLogGetDiagLevel(c_.get(), &current) == XOLTLOG_OK && level <= current;
  }

  // Application message; id 0 renders format printf-style, any other id
  // makes a catalog message (xoltlog/rir.h's conversions).
  std::uint32_t app(std::uint32_t severity, const char* who, std::uint32_t id, const char* format,
                    ...) const noexcept {
    va_list args;
    va_start(args, format);
    const std::uint32_t result = xoltLogAppMsg2VEx(c_.get(), 0, own_sequence(), severity, who, id,
                                                   format, args);
    va_end(args);
    return result;
  }
  // Diagnostic and debug messages: a filtered level returns 0 before the
  // arguments are looked at.
  std::uint32_t diag(std::int32_t level, const char* who, std::uint32_t id, const char* format,
                     ...) const noexcept {
    if (!diag_enabled(level)) return c_ ? XOLTLOG_OK : XOLTLOG_E_INVALID_ARG;
    va_list args;
    va_start(args, format);
    const std::uint32_t result =
        xoltLogDiagMsg2V(c_.get(), 0, own_sequence(), level, who, id, format, args);
    va_end(args);
    return result;
  }
  XOLTLOG_PRINTF_(4)
  std::uint32_t debug(std::int32_t level, const char* who, const char* format, ...) const noexcept {
    if (!debug_enabled(level)) return c_ ? XOLTLOG_OK : XOLTLOG_E_INVALID_ARG;
    va_list args;
    va_start(args, format);
    const std::uint32_t result =
        xoltLogDebugMsg2V(c_.get(), 0, own_sequence(), level, who, format, args);
    va_end(args);
    return result;
  }
  // Debug text that is costly to build: make_text() (giving something a
  // std::string can be made from) runs only when the level passes.
  template <class MakeText>
  std::uint32_t debug_lazy(std::int32_t level, const char* who, MakeText&& make_text) const {
    if (!debug_enabled(level)) return c_ ? XOLTLOG_OK : XOLTLOG_E_INVALID_ARG;
    const std::string text(std::forward<MakeText>(make_text)());
    return xoltLogFormattedDebugMsg(c_.get(), flags_, level, who, text.c_str());
  }
  // Audit message: catalog only, id must be nonzero.
  std::uint32_t audit(const char* subject, std::uint32_t outcome, std::uint32_t id,
                      const char* format, ...) const noexcept {
    va_list args;
    va_start(args, format);
    const std::uint32_t result =
        xoltLogAuditMsg2V(c_.get(), 0, own_sequence(), subject, outcome, id, format, args);
    va_end(args);
    return result;
  }

 protected:
  Logger() = default;
  std::uint32_t own_sequence() const noexcept { return flags_ | XOLTLOG_FLAG_OWN_SEQUENCE; }

  std::unique_ptr<XoltLogHandle> c_;
  std::uint32_t flags_ = 0;
};

#undef XOLTLOG_PRINTF_

// A log handle, closed by its destructor. Movable, not copyable.
class Handle : public Logger {
 public:
  Handle() = default;
  Handle(Handle&&) noexcept = default;
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      close();
      c_ = std::move(other.c_);
      flags_ = other.flags_;
    }
    return *this;
  }
  ~Handle() { close(); }

  // xoltLogOpen2 (file_originator 0: the originator's own file). Closes
  // what this object held first. On 22 the handle is open and writes its
  // files; on any other failure it holds nothing afterwards.
  std::uint32_t open(std::uint32_t product, std::uint32_t originator,
                     std::uint32_t file_originator = 0) {
    close();
    c_ = std::make_unique<XoltLogHandle>();
    const std::uint32_t result = xoltLogOpen2(
        product, originator, file_originator != 0 ? file_originator : originator, c_.get());
    if (result != XOLTLOG_OK && result != XOLTLOG_E_OSLOG_OPEN) {
      close();
    }
    return result;
  }
  // xoltLogClose's result; 3 when nothing was open. Destroy the contexts
  // made from this handle first.
  std::uint32_t close() noexcept {
    if (!c_) return XOLTLOG_E_INVALID_ARG;
    const std::uint32_t result = xoltLogClose(c_.get());
    c_.reset();
    return result;
  }
};

// A context: its record is written at creation and at the top of every
// new file of the series while it lives. It shares its parent's
// configuration and event-log connection, so it must be destroyed (or go
// out of scope) before its parent handle is closed: declare it after the
// handle. Movable, not copyable.
class Context : public Logger {
 public:
  Context() = default;
  Context(Context&&) noexcept = default;
  Context& operator=(Context&& other) noexcept {
    if (this != &other) {
      destroy();
      c_ = std::move(other.c_);
      flags_ = other.flags_;
    }
    return *this;
  }
  ~Context() { destroy(); }

  // xoltLogCreateContext through parent (a handle or a live context); the
  // arguments are those of format, as for xoltLogCreateContext. Destroys
  // what this object held first; on failure it holds nothing afterwards.
  template <class... Args>
  std::uint32_t create(const Logger& parent, const char* title, std::uint32_t id,
                       const char* format, Args... args) {
    destroy();
    c_ = std::make_unique<XoltLogHandle>();
    const std::uint32_t result =
        xoltLogCreateContext(parent.get(), c_.get(), title, id, format, args...);
    if (result != XOLTLOG_OK) {
      destroy();  // the record holds memory whatever the result
    }
    return result;
  }
  // xoltLogDestroyContext's result; 3 when nothing was created.
  std::uint32_t destroy() noexcept {
    if (!c_) return XOLTLOG_E_INVALID_ARG;
    const std::uint32_t result = xoltLogDestroyContext(c_.get());
    c_.reset();
    return result;
  }
};

}  // namespace xoltlog

#endif  // XOLTLOG_XOLTLOG_HPP
