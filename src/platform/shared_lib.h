// Separately shipped libraries: the file name a configured library name
// stands for, and loading, resolving and unloading it.
#pragma once

#include <cstdint>

#include "platform/heap.h"

namespace xoltlog::platform {

// "name" -> "name_<major>.<extension>", keeping any directory and dropping
// a version or extension already in the base name (from its first "_" or
// "."). Null when name is null or memory runs out.
BlockPtr<char> library_file_name(const char* name) noexcept;

// The platform's file extension of shared libraries, without its dot.
const char* shared_library_extension() noexcept;

// Loads a library by its file name; a name without a directory is looked for
// beside this library first. Null on failure.
void* load_library(const char* file_name) noexcept;
void* resolve_function(void* module, const char* name) noexcept;
void unload_library(void* module) noexcept;

}  // namespace xoltlog::platform
