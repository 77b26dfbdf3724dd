// File permissions from a security descriptor in SDDL text. Only the DACL's
// allow entries count: owner-like trustees (OW, CO, SY, BA) give the user
// bits, everyone-like trustees (WD, AU, BU, IU) the group and other bits.
// Generic or file rights (GA/FA, GR/FR, GW/FW, GX/FX, or a hexadecimal mask
// read by its generic bits) give read, write and execute; files never get
// execute, and directories get it wherever they get read.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string_view>

namespace xoltlog::platform::posix {

struct SddlModes {
  mode_t file;
  mode_t directory;
};

// The modes the text gives, or nothing when it has no DACL or does not parse
// (the caller then keeps the defaults under the umask).
std::optional<SddlModes> modes_from_sddl(std::string_view sddl) noexcept;

// modes_from_sddl of a C string; nothing for null.
std::optional<SddlModes> modes_from_sddl(const char* sddl) noexcept;

}  // namespace xoltlog::platform::posix
