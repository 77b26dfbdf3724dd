#include "output/format_library.h"

#include <clocale>

#include "platform/shared_lib.h"

namespace xoltlog {
namespace {

// LogFormatMessage's call contract.
using FormatFunction = std::uint32_t (*)(const XoltLogLocalizerList* localizers,
                                         std::uint32_t zero1, const char* locale,
                                         std::uint32_t zero2, std::uint32_t selector,
                                         std::uint32_t zero3, const XoltLogMsg* msg,
                                         const XoltLogHandle* handle, char** text);

void* g_module = nullptr;  // guarded by the library lock

void* loaded_module() noexcept {
  if (g_module == nullptr) {
    const BlockPtr<char> file = platform::library_file_name(kFormatLibraryName);
    g_module = file ? platform::load_library(file.get()) : nullptr;
  }
  return g_module;
}

FormattedText format(const XoltLogHandle& handle, const XoltLogMsg& msg, const char* locale,
                     std::uint32_t selector, const XoltLogHandle* passed) noexcept {
  FormattedText result;
  void* module = loaded_module();
  if (module == nullptr) {
    return result;
  }
  const auto function =
      reinterpret_cast<FormatFunction>(platform::resolve_function(module, "LogFormatMessage"));
  if (function == nullptr) {
    platform::unload_library(module);
    g_module = nullptr;
    result.status = FormatStatus::kNoFunction;
    return result;
  }
  char* text = nullptr;
  result.code = function(&handle.localizers, 0, locale, 0, selector, 0, &msg, passed, &text);
  result.text.reset(text);
  result.status = result.code == 0 ? FormatStatus::kFormatted : FormatStatus::kFailed;
  if (result.code != 0) {
    result.text.reset();
  }
  return result;
}

}  // namespace

FormattedText format_for_console(const LibraryLockGuard&, const XoltLogHandle& handle,
                                 const XoltLogMsg& msg) noexcept {
  return format(handle, msg, nullptr, kConsoleSelector, nullptr);
}

FormattedText format_for_event(const LibraryLockGuard&, const XoltLogHandle& handle,
                               const XoltLogMsg& msg) noexcept {
  return format(handle, msg, std::setlocale(LC_ALL, nullptr), kEventSelector, &handle);
}

void forget_format_library(const LibraryLockGuard&) noexcept {
  if (g_module != nullptr) {
    platform::unload_library(g_module);
    g_module = nullptr;
  }
}

}  // namespace xoltlog
