// Sets the TZ rule for one scope and puts back what was there before; POSIX
// rules need no zone database on the machine.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace xoltlog::test {

inline constexpr const char* kCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";

struct ScopedTimeZone {
  explicit ScopedTimeZone(const char* rule) { setenv("TZ", rule, 1), tzset(); }
  ~ScopedTimeZone() { saved_ ? setenv("TZ", saved_->c_str(), 1) : unsetenv("TZ"), tzset(); }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  std::optional<std::string> saved_ =
      std::getenv("TZ") ? std::optional<std::string>(std::getenv("TZ")) : std::nullopt;
};

}  // namespace xoltlog::test
