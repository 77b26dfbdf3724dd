#include "platform/code_page.h"

#include <langinfo.h>
#include <strings.h>

#include <initializer_list>

namespace xoltlog::platform {
namespace {

bool is_one_of(const char* name, std::initializer_list<const char*> candidates) noexcept {
  for (const char* candidate : candidates) {
    if (strcasecmp(name, candidate) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

// Asked afresh on every call: nl_langinfo only reads the current locale, so
// a cache keyed on the locale would cost as much as the answer.
bool code_page_is_utf8() noexcept {
  const char* name = code_page_name();
  return is_one_of(name, {"UTF-8", "UTF8"}) ||
         is_one_of(name, {"ANSI_X3.4-1968", "US-ASCII", "ASCII", "646"});
}

const char* code_page_name() noexcept { return nl_langinfo(CODESET); }

}  // namespace xoltlog::platform
