// A property store handle that closes itself, and readers that turn results
// into comparable texts.
#pragma once

#include <string>
#include <vector>

#include "xoltlog/frame.h"
#include "xoltlog/property_store.h"

namespace xoltlog::test {

struct Store {
  XoltLogPropertyStore handle{};
  ~Store() { utiClosePropertyStore(&handle); }
};

// The text of a property, or "<result>" when the read fails.
inline std::string text_of(Store& store, const char* name) {
  char* value = nullptr;
  const uint32_t result = utiGetPropertyAsStr(&store.handle, name, &value);
  const std::string text = result == 0 ? value : "<" + std::to_string(result) + ">";
  xoltLogFree(value);
  return text;
}

// Every name an enumeration gives, then "<result>" of the call that ended it.
template <typename Enumerate>
std::vector<std::string> names_of(Store& store, Enumerate enumerate) {
  std::vector<std::string> names;
  char buffer[32] = "";
  uint32_t length = sizeof buffer;
  uint32_t result = 0;
  for (uint32_t index = 0; (result = enumerate(&store.handle, index, buffer, &length)) == 0;
       ++index, length = sizeof buffer) {
    names.emplace_back(buffer);
  }
  names.push_back("<" + std::to_string(result) + ">");
  return names;
}

}  // namespace xoltlog::test
