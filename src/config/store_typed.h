// The typed property operations of the library's own configuration code:
// true/false values kept as the texts "true" and "false", and unsigned
// 32-bit numbers (a registry REG_DWORD, or signed decimal text in the store
// file, so that 4294967295 stands as -1).
//
// Results are store results: 1 for a null argument, 3 for a property that
// is missing or of the wrong registry type, or a refused registry write;
// writes to a store file give the results of utiSetPropertyAsStr. A read
// changes its output only on success. No lock is taken. Each may throw
// std::bad_alloc; the exported operations that use them turn it into their
// failure result.
#pragma once

#include <cstdint>

#include "xoltlog/property_store.h"

namespace xoltlog {

// 1 for "true": compared without case in the registry, exactly in the file.
std::uint32_t store_get_bool(XoltLogPropertyStore* handle, const char* name,
                             std::uint32_t* flag);
// Writes "true" for 1 and "false" for any other value.
std::uint32_t store_set_bool(XoltLogPropertyStore* handle, const char* name,
                             const std::uint32_t* flag);
// A store file value is read as the C library reads an unsigned decimal
// number: blanks skipped, "-" negating, no digits giving 0.
std::uint32_t store_get_number(XoltLogPropertyStore* handle, const char* name,
                               std::uint32_t* number);
std::uint32_t store_set_number(XoltLogPropertyStore* handle, const char* name,
                               const std::uint32_t* number);

}  // namespace xoltlog
