// One argument of a Rir message as narrow text, with the bytes the sizing
// pass of the text rendering reserves for it (include/xoltlog/text_render.h
// has the table). Nested messages (type 9) are the renderer's own business.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string_view>

#include "platform/heap.h"
#include "xoltlog/rir.h"

namespace xoltlog {

class ArgumentText {
 public:
  // text_wanted false: the sizing pass, which needs the estimates alone, so
  // pieces of a fixed estimate are not formatted at all.
  explicit ArgumentText(bool text_wanted) noexcept : text_wanted_(text_wanted) {}
  ArgumentText(const ArgumentText&) = delete;
  ArgumentText& operator=(const ArgumentText&) = delete;

  // Reads the argument it stands on, of type (0 to 11 but 9), and renders
  // it. False when the value cannot be read, a string is missing, or a wide
  // string has no code-page form (or memory runs out converting it); the
  // piece is then unusable. The text may refer to the message's strings: it
  // is valid while the message and this object are.
  bool read(const XoltRirArgIter& it, std::uint32_t type) noexcept;

  std::string_view text() const noexcept { return text_; }
  std::uint64_t estimate() const noexcept { return estimate_; }

 private:
  bool format(std::uint64_t estimate, const char* format, ...) noexcept
      __attribute__((format(printf, 3, 4)));
  bool borrow(const char* text) noexcept;
  bool read_wide_char(const XoltRirArgIter& it) noexcept;
  bool read_wide_string(const XoltRirArgIter& it) noexcept;
  bool read_os_error(const XoltRirArgIter& it) noexcept;
  bool read_datetime(const XoltRirArgIter& it) noexcept;
  bool read_number(const XoltRirArgIter& it, std::uint32_t type) noexcept;

  // The longest "%f" of a double is 309 integer digits, a sign, a point and
  // six decimals.
  char digits_[320];
  BlockPtr<char> converted_;
  std::string_view text_;
  std::uint64_t estimate_ = 0;
  bool text_wanted_;
};

// The asctime text of a broken-down time ("Wed May 17 10:20:30 2023\n") into
// buffer; its length. Years of any width are written in full.
std::size_t asctime_text(const std::tm& time, char (&buffer)[64]) noexcept;

}  // namespace xoltlog
