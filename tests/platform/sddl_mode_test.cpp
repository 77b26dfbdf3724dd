#include <gtest/gtest.h>

#include "platform/posix/sddl_mode.h"

namespace {

using xoltlog::platform::posix::modes_from_sddl;

// Only allow entries for the owner's and everyone's trustees give bits;
// directories get execute where read or execute is granted. A text that
// does not parse must give nothing, so that files get the default modes
// rather than none. The common owner-only and world-readable texts are
// checked on real files in file_primitives_test.cpp.
TEST(SddlMode, AllowEntriesGiveOwnerAndEveryoneBitsAndBadTextsNothing) {
  struct Case {
    const char* sddl;
    int file;  // -1: the text does not parse
    int directory;
  };
  const Case cases[] = {
      {"D:(A;;FA;;;OW)(A;;FRFW;;;AU)", 0666, 0777},
      {"D:(A;;GW;;;CO)", 0200, 0200},
      {"D:(A;;GX;;;CO)", 0000, 0100},
      {"D:(A;;0x80000000;;;BA)(A;;0x10000000;;;WD)", 0466, 0577},
      {"D:(A;;RCSDWDWO;;;BA)", 0000, 0000},
      {"D:(D;;GA;;;WD)(OA;;GA;;;WD)(AU;SA;GA;;;WD)(A;;GA;;;S-1-5-21-1-2-3-500)(A;;GR;;;BA)", 0400,
       0500},
      {"O:BAG:SYD:AI(A;OICI;GA;;;BA)S:(AU;SA;FA;;;WD)", 0600, 0700},
      {"O:BAG:SY", -1, -1},                 // no DACL
      {"D:(A;;GA;;;BA", -1, -1},            // unterminated entry
      {"D:(A;;GA;;BA)", -1, -1},            // five fields
      {"D:(A;;GA;;;BA;X)", -1, -1},         // seven fields
      {"D:(;;GA;;;BA)", -1, -1},            // no type
      {"D:(A;;GA;;;)", -1, -1},             // no trustee
      {"D:(A;;ZZ;;;BA)", -1, -1},           // unknown right
      {"D:(A;;0xFFFFFFFFF;;;BA)", -1, -1},  // mask wider than 32 bits
      {"D:(A;;GA;;;BA)garbage", -1, -1},    // trailing text
  };
  for (const Case& c : cases) {
    const auto modes = modes_from_sddl(c.sddl);
    EXPECT_EQ(modes.has_value(), c.file >= 0) << c.sddl;
    if (modes && c.file >= 0) {
      EXPECT_EQ(modes->file, static_cast<mode_t>(c.file)) << c.sddl;
      EXPECT_EQ(modes->directory, static_cast<mode_t>(c.directory)) << c.sddl;
    }
  }
}

}  // namespace
