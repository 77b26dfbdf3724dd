// The caller's argument list, copied so that it can be handed around by
// reference (a va_list parameter cannot be) and always ended.
#pragma once

#include <cstdarg>

namespace xoltlog::rir {

class VaArgs {
 public:
  explicit VaArgs(va_list args) noexcept { va_copy(args_, args); }
  ~VaArgs() { va_end(args_); }
  VaArgs(const VaArgs&) = delete;
  VaArgs& operator=(const VaArgs&) = delete;

  // T must be a type that survives default argument promotion.
  template <typename T>
  T next() noexcept {
    return va_arg(args_, T);
  }

 private:
  va_list args_;
};

}  // namespace xoltlog::rir
