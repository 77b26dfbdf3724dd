#include "access/file_copy.h"

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "frame/boundary.h"
#include "platform/disk_full.h"
#include "platform/file_path.h"
#include "platform/file_primitives.h"
#include "platform/file_status.h"
#include "xoltlog/result.h"

namespace xoltlog {
namespace {

// Not 1024: the chunk size files have always been copied in.
constexpr std::uint32_t kChunk = 1022;
constexpr std::string_view kLogSuffix = ".log";

// The destination directory followed by the source's last separator and
// what follows it, or by the whole source when it has none.
std::string target_of(const char* source, const char* destination) {
  const std::string_view path(source);
  const std::size_t separator = path.rfind(platform::path_separator());
  return std::string(destination) +
         std::string(separator == std::string_view::npos ? path : path.substr(separator));
}

// Closes the file context on every way out.
struct OpenFile {
  XoltLogFileContext context;
  OpenFile() noexcept { platform::file_init(context); }
  ~OpenFile() { platform::file_close(context); }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
};

std::uint32_t target_failure(std::int32_t opened) noexcept {
  return opened == -7 || opened == -1 ? XOLTLOG_E_COPY_DEST : XOLTLOG_E_FILE_OPEN;
}

std::uint32_t copy_chunks(XoltLogFileContext& from, XoltLogFileContext& to, std::uint32_t size) {
  std::array<char, kChunk> buffer;
  while (size > 0) {
    const std::uint32_t chunk = size < kChunk ? size : kChunk;
    if (platform::file_read(from, buffer.data(), chunk) != static_cast<std::int32_t>(chunk)) {
      return XOLTLOG_E_COPY_READ;
    }
    if (platform::file_append(to, buffer.data(), chunk) != static_cast<std::int32_t>(chunk)) {
      return platform::disk_full_indication() != 0 ? XOLTLOG_E_DISK_FULL : XOLTLOG_E_COPY_WRITE;
    }
    size -= chunk;
  }
  return XOLTLOG_OK;
}

}  // namespace

std::uint32_t copy_log_file(const char* source, const char* destination) noexcept {
  return guarded(XOLTLOG_E_FILE_OPEN, [&]() -> std::uint32_t {
    OpenFile from;
    if (platform::file_open(from.context, source, XOLTLOG_OPEN_READ, nullptr) != 0) {
      return XOLTLOG_E_FILE_OPEN;
    }
    std::uint64_t size = 0;
    if (platform::file_size(from.context, size) != 0) {
      return XOLTLOG_E_COPY_SIZE;
    }
    const std::string target = target_of(source, destination);
    // Opening the target empties it: a source that is the target itself
    // would be lost.
    if (platform::same_file(source, target.c_str())) {
      return XOLTLOG_E_FILE_OPEN;
    }
    OpenFile to;
    if (const std::int32_t opened =
            platform::file_open(to.context, target.c_str(), XOLTLOG_OPEN_TRUNCATE, nullptr);
        opened != 0) {
      return target_failure(opened);
    }
    return copy_chunks(from.context, to.context, static_cast<std::uint32_t>(size));
  });
}

std::uint32_t copy_log_file_whole(const char* source, const char* destination) noexcept {
  return guarded(XOLTLOG_E_COPY_WRITE, [&]() -> std::uint32_t {
    const std::string target = target_of(source, destination);
    return platform::copy_whole_file(source, target.c_str()) ? XOLTLOG_OK : XOLTLOG_E_COPY_WRITE;
  });
}

// Only log files are deleted: a tool handed another path by mistake, or
// by someone who wants it gone, loses nothing.
void delete_log_file(const char* path) noexcept {
  const std::string_view name(path);
  const bool log_name = name.size() > kLogSuffix.size() && name.ends_with(kLogSuffix);
  if (!log_name || !platform::regular_file_modified(path) || platform::file_delete(path) != 0) {
    std::printf("%s File Deletion failed\n", path);
    std::fflush(stdout);
  }
}

}  // namespace xoltlog
