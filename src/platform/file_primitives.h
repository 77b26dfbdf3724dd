// The platform's file primitives behind the exported xoltLogOs_* functions.
// Each returns the small numbers documented in xoltlog/platform.h. None
// takes the library lock; a file context is used by one thread at a time.
#pragma once

#include <cstdint>

#include "xoltlog/platform.h"

namespace xoltlog::platform {

std::int32_t file_init(XoltLogFileContext& context) noexcept;
std::int32_t file_open(XoltLogFileContext& context, const char* name, std::int32_t mode,
                       const char* sddl) noexcept;
void file_close(XoltLogFileContext& context) noexcept;
std::int32_t file_read(XoltLogFileContext& context, char* buffer, std::uint32_t count) noexcept;
std::int32_t file_append(XoltLogFileContext& context, const void* bytes,
                         std::uint32_t count) noexcept;
std::int32_t file_size(XoltLogFileContext& context, std::uint64_t& size) noexcept;
std::int32_t file_delete(const char* name) noexcept;
std::int32_t make_directories(const char* path, const char* sddl) noexcept;

}  // namespace xoltlog::platform
