// Products joining and leaving the store: the registration key of a
// product, named by its identifier at the store location, holds its
// configuration location ("Configuration") and names ("Names").
//
// The functions that take the held guard run under the library lock; the
// others take no lock. Results are result codes; each may throw
// std::bad_alloc.
#pragma once

#include <cstdint>

#include "config/store_layout.h"
#include "frame/library_lock.h"

namespace xoltlog {

// Opens the product's registration key for writing, creating it when
// absent: 0; 6 when it can be neither opened nor created; 27 when the key
// already holds a configuration location.
std::uint32_t open_new_registration(OpenStore& key, std::uint32_t product);

// Writes the configuration location and then, when that worked, the names:
// the result of the last write.
std::uint32_t write_registration(const LibraryLockGuard& held, OpenStore& key, const char* location,
                                 const char* names);

// Opens the registration key of a registered product for writing: 0, or 6
// when the product is not registered or its key cannot be opened.
std::uint32_t open_registration(OpenStore& key, std::uint32_t product);

// Removes "Configuration", "Names" and then the product's key with all its
// subkeys, each step only after the one before worked. The key is always
// removed from the registry's default location, also for a store file;
// when no key is left below it, the default location goes too. The
// product's own sections stay. 0, or the failing step's result (50 when
// the product has no key there).
std::uint32_t remove_registration(const LibraryLockGuard& held, OpenStore& key,
                                  std::uint32_t product);

}  // namespace xoltlog
