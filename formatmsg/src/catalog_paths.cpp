#include "catalog_paths.h"

#include <algorithm>

namespace xoltlog::fmt {
namespace {

constexpr std::string_view kMessagesCategory = "LC_MESSAGES=";
constexpr std::size_t kMaxNameLength = 64;

bool name_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-';
}

bool safe_name(std::string_view name) {
  return !name.empty() && name.size() <= kMaxNameLength &&
         std::all_of(name.begin(), name.end(), name_char);
}

// A resource may carry dots ("product.messages") but never starts with one,
// so it cannot name "." or "..".
bool safe_resource(std::string_view name) {
  return !name.empty() && name.size() <= kMaxNameLength && name.front() != '.' &&
         std::all_of(name.begin(), name.end(), [](char c) { return name_char(c) || c == '.'; });
}

// "LC_CTYPE=C;LC_MESSAGES=de_DE.UTF-8;..." gives "de_DE.UTF-8".
std::string_view messages_part(std::string_view locale) {
  const std::size_t at = locale.find(kMessagesCategory);
  if (at == std::string_view::npos) {
    return locale.find('=') == std::string_view::npos ? locale : std::string_view{};
  }
  const std::string_view rest = locale.substr(at + kMessagesCategory.size());
  return rest.substr(0, rest.find(';'));
}

}  // namespace

std::vector<std::string> locale_candidates(std::string_view locale) {
  std::string_view name = messages_part(locale);
  name = name.substr(0, name.find_first_of(".@"));
  std::vector<std::string> candidates;
  if (name == "C" || name == "POSIX" || !safe_name(name)) {
    return candidates;
  }
  candidates.emplace_back(name);
  if (const std::size_t underscore = name.find('_');
      underscore != std::string_view::npos && underscore > 0) {
    candidates.emplace_back(name.substr(0, underscore));
  }
  return candidates;
}

std::vector<std::string> catalog_paths(std::string_view dir, std::string_view resource,
                                       std::string_view locale) {
  std::vector<std::string> paths;
  if (dir.empty() || !safe_resource(resource)) {
    return paths;
  }
  std::string base(dir);
  if (base.back() != '/') {
    base.push_back('/');
  }
  base.append(resource);
  for (const std::string& candidate : locale_candidates(locale)) {
    paths.push_back(base + "." + candidate + ".cat");
  }
  paths.push_back(base + ".cat");
  return paths;
}

}  // namespace xoltlog::fmt
