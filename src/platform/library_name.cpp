#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/shared_lib.h"

#ifndef XOLTLOG_VERSION_TEXT
#error "XOLTLOG_VERSION_TEXT must give the library's version text"
#endif

namespace xoltlog::platform {
namespace {

constexpr std::string_view kVersionText = XOLTLOG_VERSION_TEXT;
// The file name carries the major version only, so that every 3.x release
// loads the same companion libraries.
constexpr std::string_view kMajorVersion = kVersionText.substr(0, kVersionText.find('.'));
constexpr char kSeparator = '/';
// Room the appended "_<major>.<extension>" may take.
constexpr std::size_t kSuffixRoom = 20;

}  // namespace

BlockPtr<char> library_file_name(const char* name) noexcept {
  if (name == nullptr) {
    return nullptr;
  }
  const std::size_t length = std::strlen(name);
  BlockPtr<char> file_name(static_cast<char*>(allocate(length + kSuffixRoom)));
  if (!file_name) {
    return nullptr;
  }
  std::memcpy(file_name.get(), name, length + 1);
  char* last_separator = std::strrchr(file_name.get(), kSeparator);
  char* base = last_separator != nullptr ? last_separator + 1 : file_name.get();
  base[std::strcspn(base, "_.")] = '\0';
  const std::size_t kept = std::strlen(file_name.get());
  const int written = std::snprintf(file_name.get() + kept, kSuffixRoom, "_%.*s.%s",
                                    static_cast<int>(kMajorVersion.size()), kMajorVersion.data(),
                                    shared_library_extension());
  if (written < 0 || static_cast<std::size_t>(written) >= kSuffixRoom) {
    return nullptr;
  }
  return file_name;
}

}  // namespace xoltlog::platform
