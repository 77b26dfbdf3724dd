// Where the catalogs of a product are looked for, most specific first:
//   <dir>/<resource>.<language>_<TERRITORY>.cat
//   <dir>/<resource>.<language>.cat
//   <dir>/<resource>.cat
// The locale name is reduced to its language and territory: codeset and
// modifier go ("de_DE.UTF-8@euro" gives de_DE and de), a composite name
// gives its LC_MESSAGES part, "C" and "POSIX" give none. A locale with
// anything but letters, digits, "_" and "-", or a resource with anything
// more than those and inner dots, is never put into a path: no "/", no "..".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace xoltlog::fmt {

// Language and territory of a locale name ("de_DE", "de"), most specific
// first; empty for "C", "POSIX", an empty name or an unusable one.
std::vector<std::string> locale_candidates(std::string_view locale);

// The catalog file paths to try in order; empty when dir or resource is
// empty or the resource name is unusable.
std::vector<std::string> catalog_paths(std::string_view dir, std::string_view resource,
                                       std::string_view locale);

}  // namespace xoltlog::fmt
