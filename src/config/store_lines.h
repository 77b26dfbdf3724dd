// The store file's line syntax, as pure functions over the text of one line
// whose line end ("\n" or "\r\n") is already removed.
//
// A property line is "<key>=<value>"; the key is "<section>.<name>", or the
// name alone for an empty section text. A line's section is its first token
// when the line is split at the delimiters given (the writers split at "."
// and "=", section removal at "." alone), and "LOGSET.<second token>" when
// that first token is "LOGSET".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace xoltlog {

inline constexpr std::size_t kMaxStoreValueBytes = 399;
inline constexpr std::string_view kWriteDelimiters = ".=";
inline constexpr std::string_view kRemovalDelimiters = ".";

std::string property_key(std::string_view section, std::string_view name);

// A line whose first character other than blanks is "#".
bool is_comment_line(std::string_view line) noexcept;
// True when the text before the line's first "=" is key.
bool line_has_key(std::string_view line, std::string_view key) noexcept;
// The text after the line's first "=" up to the next "=" or the line's end,
// at most kMaxStoreValueBytes of it.
std::string_view line_value(std::string_view line) noexcept;
bool line_in_section(std::string_view line, std::string_view section,
                     std::string_view delimiters) noexcept;

// The section a line names for utiEnumProductId: the text before its first
// "." when that holds no "="; none for a line without ".".
std::optional<std::string_view> product_of_line(std::string_view line) noexcept;
// The logset a "LOGSET" line names: its second token split at "." (and cut
// at "="); none for other lines and for an empty name.
std::optional<std::string_view> logset_of_line(std::string_view line) noexcept;

// Whether writing name = value into section keeps the file's syntax: no
// line ends anywhere, no "=" in the key, a section free of "." unless it is
// "LOGSET.<logset name>", no key that reads as a comment, and a value that
// reads back whole.
bool is_writable_property(std::string_view section, std::string_view name,
                          std::string_view value) noexcept;

// The C library's unsigned decimal conversion on a 32-bit platform: leading
// white space skipped, an optional sign, digits up to the first non-digit;
// "-" negates modulo 2^32, a number too large gives 4294967295, no digits 0.
std::uint32_t parse_store_number(std::string_view text) noexcept;

}  // namespace xoltlog
