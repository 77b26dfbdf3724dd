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

bool names_utf8_or_ascii(const char* name) noexcept {
  return is_one_of(name, {"UTF-8", "UTF8"}) ||
         is_one_of(name, {"ANSI_X3.4-1968", "US-ASCII", "ASCII", "646"});
}

}  // namespace

// The serializer asks for every record. The code set's name lives in the
// locale's data, so a new locale brings a new name pointer: the answer for
// the pointer seen last stays good until then, and the name comparisons run
// only once per locale.
bool code_page_is_utf8() noexcept {
  thread_local const char* last_name = nullptr;
  thread_local bool last_answer = false;
  const char* name = code_page_name();
  if (name != last_name) {
    last_answer = names_utf8_or_ascii(name);
    last_name = name;
  }
  return last_answer;
}

const char* code_page_name() noexcept { return nl_langinfo(CODESET); }

}  // namespace xoltlog::platform
