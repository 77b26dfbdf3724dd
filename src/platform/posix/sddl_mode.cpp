#include "platform/posix/sddl_mode.h"

#include <array>
#include <charconv>
#include <cstdint>

namespace xoltlog::platform::posix {
namespace {

enum Access : unsigned { kRead = 4, kWrite = 2, kExecute = 1 };

constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kGenericExecute = 0x20000000u;
constexpr std::uint32_t kGenericAll = 0x10000000u;

// Rights that exist but carry no read, write or execute meaning here.
constexpr std::array<std::string_view, 20> kNeutralRights = {
    "RC", "SD", "WD", "WO", "RP", "WP", "CC", "DC", "LC", "SW",
    "LO", "DT", "CR", "KA", "KR", "KW", "KX", "NR", "NW", "NX"};

std::optional<unsigned> access_of_right(std::string_view code) noexcept {
  if (code == "GA" || code == "FA") return kRead | kWrite | kExecute;
  if (code == "GR" || code == "FR") return kRead;
  if (code == "GW" || code == "FW") return kWrite;
  if (code == "GX" || code == "FX") return kExecute;
  for (std::string_view neutral : kNeutralRights) {
    if (code == neutral) return 0u;
  }
  return std::nullopt;
}

std::optional<unsigned> access_of_mask(std::string_view text) noexcept {
  const std::string_view digits = text.substr(2);
  std::uint32_t mask = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), mask, 16);
  if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size()) {
    return std::nullopt;
  }
  unsigned access = (mask & kGenericAll) != 0 ? kRead | kWrite | kExecute : 0u;
  if ((mask & kGenericRead) != 0) access |= kRead;
  if ((mask & kGenericWrite) != 0) access |= kWrite;
  if ((mask & kGenericExecute) != 0) access |= kExecute;
  return access;
}

std::optional<unsigned> access_of_rights(std::string_view rights) noexcept {
  if (rights.starts_with("0x") || rights.starts_with("0X")) {
    return access_of_mask(rights);
  }
  if (rights.size() % 2 != 0) {
    return std::nullopt;
  }
  unsigned access = 0;
  for (std::size_t i = 0; i < rights.size(); i += 2) {
    const std::optional<unsigned> one = access_of_right(rights.substr(i, 2));
    if (!one) return std::nullopt;
    access |= *one;
  }
  return access;
}

enum class Trustee { kOwner, kEveryone, kNobody };

Trustee trustee_of(std::string_view sid) noexcept {
  if (sid == "OW" || sid == "CO" || sid == "SY" || sid == "BA") return Trustee::kOwner;
  if (sid == "WD" || sid == "AU" || sid == "BU" || sid == "IU") return Trustee::kEveryone;
  return Trustee::kNobody;
}

struct Grant {
  unsigned owner = 0;
  unsigned everyone = 0;
};

// One "(type;flags;rights;object;inherited object;sid)" entry, without its
// parentheses.
bool is_section_start(std::string_view text) noexcept { return text.size() >= 2 && text[1] == ':'; }

// Skips the DACL flags (P, AI, AR, NO_ACCESS_CONTROL) that precede the
// entries.
std::string_view skip_flags(std::string_view text) noexcept {
  while (!text.empty() && text.front() != '(' && !is_section_start(text)) {
    text.remove_prefix(1);
  }
  return text;
}

// Splits an entry at its semicolons; false unless it has exactly six fields.
bool split_entry(std::string_view entry, std::array<std::string_view, 6>& fields) noexcept {
  std::size_t count = 0;
  while (count < fields.size()) {
    const std::size_t end = entry.find(';');
    fields[count++] = entry.substr(0, end);
    if (end == std::string_view::npos) {
      return count == fields.size();
    }
    entry.remove_prefix(end + 1);
  }
  return false;
}

bool add_entry(std::string_view entry, Grant& grant) noexcept {
  std::array<std::string_view, 6> fields{};
  if (!split_entry(entry, fields) || fields[0].empty() || fields[5].empty()) {
    return false;
  }
  const std::optional<unsigned> access = access_of_rights(fields[2]);
  if (!access) return false;
  if (fields[0] != "A") return true;  // only allow entries grant anything
  switch (trustee_of(fields[5])) {
    case Trustee::kOwner: grant.owner |= *access; break;
    case Trustee::kEveryone: grant.everyone |= *access; break;
    case Trustee::kNobody: break;
  }
  return true;
}

// The DACL: "D:" then optional flags (P, AI, AR, NO_ACCESS_CONTROL...) then
// entries in parentheses, up to the next section ("O:", "G:", "S:") or the end.
std::optional<Grant> parse_dacl(std::string_view sddl) noexcept {
  const std::size_t start = sddl.find("D:");
  if (start == std::string_view::npos) return std::nullopt;
  std::string_view rest = skip_flags(sddl.substr(start + 2));
  Grant grant;
  while (!rest.empty() && rest.front() == '(') {
    const std::size_t close = rest.find(')');
    if (close == std::string_view::npos || !add_entry(rest.substr(1, close - 1), grant)) {
      return std::nullopt;
    }
    rest.remove_prefix(close + 1);
  }
  if (!rest.empty() && !is_section_start(rest)) return std::nullopt;
  return grant;
}

mode_t bits_for(unsigned access, bool directory, unsigned shift) noexcept {
  unsigned bits = access & (kRead | kWrite);
  if (directory && (access & (kRead | kExecute)) != 0) bits |= kExecute;
  return static_cast<mode_t>(bits << shift);
}

}  // namespace

std::optional<SddlModes> modes_from_sddl(std::string_view sddl) noexcept {
  const std::optional<Grant> grant = parse_dacl(sddl);
  if (!grant) return std::nullopt;
  SddlModes modes{};
  for (const bool directory : {false, true}) {
    const mode_t mode = bits_for(grant->owner, directory, 6) |
                        bits_for(grant->everyone, directory, 3) |
                        bits_for(grant->everyone, directory, 0);
    (directory ? modes.directory : modes.file) = mode;
  }
  return modes;
}

std::optional<SddlModes> modes_from_sddl(const char* sddl) noexcept {
  if (sddl == nullptr) return std::nullopt;
  return modes_from_sddl(std::string_view(sddl));
}

}  // namespace xoltlog::platform::posix
