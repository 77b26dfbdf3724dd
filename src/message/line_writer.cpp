#include "message/line_writer.h"

#include <cstring>

#include "message/text_buffer.h"
#include "xoltlog/result.h"

namespace xoltlog {

std::uint32_t LineWriter::append(std::string_view piece) noexcept {
  char* slot = reserve_text(buffer_, piece.size());
  if (slot == nullptr) {
    return XOLTLOG_E_NO_MEMORY;
  }
  std::memcpy(slot, piece.data(), piece.size());
  return XOLTLOG_OK;
}

std::uint32_t LineWriter::append_counted(std::string_view prefix, std::string_view bytes,
                                         char terminator) noexcept {
  char* slot = reserve_text(buffer_, prefix.size() + bytes.size() + 1);
  if (slot == nullptr) {
    return XOLTLOG_E_NO_MEMORY;
  }
  std::memcpy(slot, prefix.data(), prefix.size());
  slot += prefix.size();
  if (!bytes.empty()) {
    std::memcpy(slot, bytes.data(), bytes.size());
  }
  slot[bytes.size()] = terminator;
  return XOLTLOG_OK;
}

std::uint32_t append_string_field(LineWriter& out, std::string_view bytes) noexcept {
  ShortPiece prefix;
  prefix.number(bytes.size()).character(':');
  return out.append_counted(prefix.view(), bytes, ',');
}

std::uint32_t append_counted_argument(LineWriter& out, char tag, std::string_view bytes) noexcept {
  ShortPiece prefix;
  prefix.character(tag).number(bytes.size()).character(':');
  return out.append_counted(prefix.view(), bytes, '|');
}

}  // namespace xoltlog
