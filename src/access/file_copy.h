// Copying and deleting log files for tools.
#pragma once

#include <cstdint>

namespace xoltlog {

// See xoltLogCopyFile and xoltLogCopyFileEx; the arguments are given.
std::uint32_t copy_log_file(const char* source, const char* destination) noexcept;
std::uint32_t copy_log_file_whole(const char* source, const char* destination) noexcept;

// See xoltLogDeleteFile; path is given.
void delete_log_file(const char* path) noexcept;

}  // namespace xoltlog
