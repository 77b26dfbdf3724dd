#include <gtest/gtest.h>

#include "platform/posix/sddl_mode.h"

namespace {

using xoltlog::platform::posix::modes_from_sddl;

struct Case {
  const char* sddl;
  mode_t file;
  mode_t directory;
};

TEST(SddlMode, AllowEntriesGiveOwnerAndEveryoneBits) {
  const Case cases[] = {
      {"D:P(A;;GA;;;SY)(A;;GA;;;BA)", 0600, 0700},
      {"D:(A;;GA;;;BA)(A;;GR;;;WD)", 0644, 0755},
      {"D:(A;;FA;;;OW)(A;;FRFW;;;AU)", 0666, 0777},
      {"D:(A;;GW;;;CO)", 0200, 0200},
      {"D:(A;;GX;;;CO)", 0000, 0100},
      {"D:(A;;GR;;;IU)(A;;GR;;;BU)", 0044, 0055},
      {"D:(A;;0x80000000;;;BA)(A;;0x10000000;;;WD)", 0466, 0577},
      {"D:(A;;0x1F01FF;;;BA)", 0000, 0000},
      {"D:(A;;RCSDWDWO;;;BA)", 0000, 0000},
      {"D:(A;;GA;;;S-1-5-21-1-2-3-500)(A;;GR;;;SY)", 0400, 0500},
      {"D:(D;;GA;;;WD)(A;;GR;;;BA)", 0400, 0500},
      {"D:(OA;;GA;;;WD)(AU;SA;GA;;;WD)", 0000, 0000},
      {"D:P", 0000, 0000},
      {"O:BAG:SYD:AI(A;OICI;GA;;;BA)S:(AU;SA;FA;;;WD)", 0600, 0700},
      {"D:PS:(AU;SA;FA;;;WD)", 0000, 0000},
  };
  for (const Case& c : cases) {
    const auto modes = modes_from_sddl(c.sddl);
    ASSERT_TRUE(modes.has_value()) << c.sddl;
    EXPECT_EQ(modes->file, c.file) << c.sddl;
    EXPECT_EQ(modes->directory, c.directory) << c.sddl;
  }
}

TEST(SddlMode, TextsThatDoNotParseGiveNothing) {
  const char* const texts[] = {
      "",
      "O:BAG:SY",                   // no DACL
      "D:(A;;GA;;;BA",              // unterminated entry
      "D:(A;;GA;;BA)",              // five fields
      "D:(A;;GA;;;)",               // no trustee
      "D:(;;GA;;;BA)",              // no type
      "D:(A;;ZZ;;;BA)",             // unknown right
      "D:(A;;GAG;;;BA)",            // half a right
      "D:(A;;0x;;;BA)",             // empty mask
      "D:(A;;0xFFFFFFFFF;;;BA)",    // mask wider than 32 bits
      "D:(A;;GA;;;BA)garbage",      // trailing text
      "D:(A;;GA;;;BA;X)",           // seven fields
  };
  for (const char* text : texts) {
    EXPECT_FALSE(modes_from_sddl(text).has_value()) << text;
  }
  EXPECT_FALSE(modes_from_sddl(static_cast<const char*>(nullptr)).has_value());
}

}  // namespace
