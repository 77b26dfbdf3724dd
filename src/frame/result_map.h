// Results of the components below the library turned into result codes, and
// the names of the codes.
#pragma once

#include <cstdint>

namespace xoltlog {

std::uint32_t map_rir_status(std::int32_t status) noexcept;
std::uint32_t map_store_result(std::uint32_t store_result) noexcept;

// "XOLTLOG_E_INVALID_ARG" for 3; null for a code that does not exist.
const char* result_name(std::uint32_t code) noexcept;
// The meaning of a code; null for a code that does not exist.
const char* result_meaning(std::uint32_t code) noexcept;

}  // namespace xoltlog
