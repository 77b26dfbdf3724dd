// The registry stand-in on the real file system, and several processes
// changing one key at once.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/posix/registry_key.h"
#include "platform/registry.h"
#include "support/helper_process.h"
#include "support/other_user.h"
#include "support/temp_dir.h"

namespace {

using namespace xoltlog::platform;
using enum RegistryStatus;

RegistryKeyPtr create(const std::string& path) {
  RegistryKeyPtr key;
  EXPECT_EQ(create_registry_key(path, key), kOk) << path;
  return key;
}

RegistryStatus set_text(const RegistryKeyPtr& key, const std::string& name,
                        const std::string& text) {
  return set_registry_value(*key, name, kRegistryText, text.data(),
                            static_cast<uint32_t>(text.size()));
}

// "type:bytes" of a value, or "<missing>".
std::string value_of(const RegistryKeyPtr& key, const std::string& name) {
  RegistryValue value;
  if (query_registry_value(*key, name, value) != kOk) {
    return "<missing>";
  }
  return std::to_string(value.type) + ":" +
         std::string(reinterpret_cast<const char*>(value.data.get()), value.size);
}

mode_t mode_of(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

class RegistryStandIn : public ::testing::Test {
 protected:
  void SetUp() override { setenv("XOLTLOG_REGISTRY_ROOT", root_.path().c_str(), 1); }
  void TearDown() override { unsetenv("XOLTLOG_REGISTRY_ROOT"); }
  xoltlog::test::TempDir root_;
};

// A key opened for reading changes nothing. Value names matching without
// case, overwriting and enumeration limits are checked through the
// property store in store_both_test.cpp.
TEST_F(RegistryStandIn, KeysKeepTheirSpellingTreesGoWholeAndValuesHoldAnyBytes) {
  const RegistryKeyPtr key = create("SOFTWARE\\Kestran\\xoltlog");
  create("software\\KESTRAN\\Other\\Below");
  EXPECT_TRUE(std::filesystem::is_directory(root_.file("SOFTWARE/Kestran/Other/Below")));
  EXPECT_FALSE(std::filesystem::exists(root_.file("software")));
  RegistryKeyPtr same, parent;
  ASSERT_EQ(open_registry_key("software\\kestran\\XOLTLOG", RegistryAccess::kRead, same), kOk);
  ASSERT_EQ(open_registry_key("Software\\Kestran", RegistryAccess::kRead, parent), kOk);
  EXPECT_EQ(delete_registry_tree(*parent, "Other"), kAccessDenied);
  EXPECT_EQ(delete_registry_tree(*create("software\\kestran"), "OTHER"), kOk);
  // Nothing of the deleted tree is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root_.file("SOFTWARE/Kestran")),
                          std::filesystem::directory_iterator()),
            1);

  const std::string text("line\nfeed\r\n=\0nul\n9 9 9\n", 22);
  EXPECT_EQ(set_text(key, "Text", text), kOk);
  EXPECT_EQ(set_text(key, "Empty", ""), kOk);
  EXPECT_EQ(set_text(key, "Name\nwith line feed", "x"), kOk);
  EXPECT_EQ(set_text(same, "Text", "x"), kAccessDenied);
  EXPECT_EQ(value_of(same, "Text"), "1:" + text);
  EXPECT_EQ(value_of(same, "Empty"), "1:");
  EXPECT_EQ(value_of(same, "Name\nwith line feed"), "1:x");
  EXPECT_EQ(delete_registry_value(*key, "text"), kOk);
  EXPECT_EQ(value_of(same, "Text"), "<missing>");
}

// Subkeys come in name order without regard to case.
TEST_F(RegistryStandIn, SubkeysEnumerateInOrderWithoutCase) {
  for (const char* name : {"beta", "Alpha", "gamma", "alpha2", "Beta1"}) {
    create(std::string("K\\") + name);
  }
  const RegistryKeyPtr key = create("K");
  std::vector<std::string> names;
  char buffer[8];
  for (uint32_t index = 0, length = sizeof buffer;
       enum_registry_subkey(*key, index, buffer, length) == kOk; ++index, length = sizeof buffer) {
    names.emplace_back(buffer, length);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "alpha2", "beta", "Beta1", "gamma"}));
}

TEST_F(RegistryStandIn, NothingLeavesTheRootAndAMissingRootIsNoRegistry) {
  RegistryKeyPtr key;
  for (const char* path : {"a\\..\\..\\escaped", "..", "a\\.", "a\\b/c"}) {
    EXPECT_EQ(create_registry_key(path, key), kInvalidName) << path;
  }
  EXPECT_TRUE(std::filesystem::is_empty(root_.path()));
  setenv("XOLTLOG_REGISTRY_ROOT", root_.file("missing").c_str(), 1);
  EXPECT_EQ(open_registry_key("", RegistryAccess::kAll, key), kNotFound);
  EXPECT_EQ(create_registry_key("a", key), kNotFound);
  EXPECT_FALSE(std::filesystem::exists(root_.file("missing")));
}

TEST_F(RegistryStandIn, ADamagedValuesFileIsAFailureNeverAnOverread) {
  const RegistryKeyPtr key = create("K");
  ASSERT_EQ(set_text(key, "Name", "value"), kOk);
  const std::string values = root_.file("K/") + posix::kValuesFile;
  const std::string whole = xoltlog::test::read_file(values);
  // Cut behind its first line, the file is whole and holds no values.
  const std::size_t no_values = whole.find('\n') + 1;
  for (std::size_t cut = 1; cut < whole.size(); ++cut) {
    std::ofstream(values, std::ios::binary | std::ios::trunc) << whole.substr(0, cut);
    RegistryValue value;
    const RegistryStatus expected = cut == no_values ? kNotFound : kFailed;
    EXPECT_EQ(query_registry_value(*key, "Name", value), expected) << cut;
    if (cut != no_values) {
      EXPECT_EQ(set_text(key, "Other", "x"), kFailed) << cut;
    }
  }
  std::ofstream(values, std::ios::binary | std::ios::trunc)
      << "xoltlog registry values 1\n1 4 18446744073709551615\nName";
  EXPECT_EQ(value_of(key, "Name"), "<missing>");
}

// Whatever the umask, key directories are writable by their owner alone, so
// no other user can plant a link where the owner's next change writes, and
// a link found at the temporary's name is replaced, never written through.
TEST_F(RegistryStandIn, NoOtherUserCanMakeAChangeWriteThroughALink) {
  using xoltlog::test::kOtherGroup;
  using xoltlog::test::kOtherUser;
  ASSERT_EQ(chmod(root_.path().c_str(), 0755), 0);
  const std::string victim = root_.file("victim");
  std::ofstream(victim) << "secret";
  for (const mode_t mask : {0000u, 0077u}) {
    const std::string top = "Key" + std::to_string(mask);
    const std::string values = root_.file(top + "/Below/") + posix::kValuesFile;
    const std::string temporary = values + ".tmp";
    const mode_t saved = umask(mask);
    const RegistryKeyPtr key = create(top + "\\Below");
    EXPECT_EQ(set_text(key, "Name", "v"), kOk);
    umask(saved);
    EXPECT_EQ(mode_of(root_.file(top)), 0755u) << mask;
    EXPECT_EQ(mode_of(root_.file(top + "/Below")), 0755u) << mask;
    EXPECT_EQ(mode_of(values), 0644u) << mask;
    const auto plant = [&] {
      return symlink(victim.c_str(), temporary.c_str()) == 0 ? 1 : errno == EACCES ? 0 : 2;
    };
    EXPECT_EQ(xoltlog::test::run_as_user(kOtherUser, kOtherGroup, plant), 0) << mask;
  }

  // A stale link, as others could leave in a key directory of old; the
  // values file keeps the mode and owner it was given.
  const RegistryKeyPtr key = create("Key0\\Below");
  const std::string values = root_.file("Key0/Below/") + posix::kValuesFile;
  ASSERT_EQ(symlink(victim.c_str(), (values + ".tmp").c_str()), 0);
  ASSERT_EQ(chown(values.c_str(), kOtherUser, kOtherGroup), 0);
  ASSERT_EQ(chmod(values.c_str(), 0600), 0);
  EXPECT_EQ(set_text(key, "Name", "w"), kOk);
  EXPECT_EQ(xoltlog::test::read_file(victim), "secret");
  EXPECT_EQ(value_of(key, "Name"), "1:w");
  struct stat status {};
  ASSERT_EQ(lstat(values.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600u);
  EXPECT_EQ(status.st_uid, kOtherUser);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(values + ".tmp")));
}

XOLTLOG_TEST_HELPER(set_registry_values) {
  RegistryKeyPtr key;
  if (open_registry_key(args.at(0), RegistryAccess::kAll, key) != kOk) {
    return 2;
  }
  for (int k = 0; k < std::stoi(args.at(2)); ++k) {
    const std::string name = "w" + args.at(1) + "_" + std::to_string(k);
    if (set_text(key, name, name) != kOk) {
      return 3;
    }
  }
  return 0;
}

TEST_F(RegistryStandIn, ProcessesSettingValuesOfOneKeyLoseNone) {
  constexpr int kWriters = 4;
  constexpr int kValues = 40;
  const RegistryKeyPtr key = create("Shared\\Key");
  std::vector<pid_t> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.push_back(xoltlog::test::spawn_helper(
        "set_registry_values", {"shared\\key", std::to_string(w), std::to_string(kValues)}));
  }
  for (const pid_t writer : writers) {
    EXPECT_EQ(xoltlog::test::wait_for_exit(writer), 0);
  }
  for (int w = 0; w < kWriters; ++w) {
    for (int k = 0; k < kValues; ++k) {
      const std::string name = "w" + std::to_string(w) + "_" + std::to_string(k);
      EXPECT_EQ(value_of(key, name), "1:" + name);
    }
  }
}

}  // namespace
