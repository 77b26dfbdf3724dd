// xoltlog files, copy and delete end to end: the real binary on a real
// store (store file and registry) and log files laid out as writers leave
// them, selected by options and --where expressions.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "config/record.h"
#include "config/store_layout.h"
#include "support/other_user.h"
#include "support/temp_dir.h"
#include "tools/run_tool.h"
#include "xoltlog/xoltlog.h"

namespace xoltlog::test {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kMarch10 = 1773136800;  // 2026-03-10 10:00:00 UTC

// Ordinary files of product 12: originator 3 ("worker", a section of its
// own) on hosts alpha and beta, originator 7 (no section) on delta; a file
// of logset "nightly"; product 13's originator 5 (no section) on gamma.
const char* const kA = "12-3-1-260310-0000000000.log";
const char* const kB = "12-3-1-260311-0000000000.log";
const char* const kC = "12-3-1-260312-0000000000.log";
const char* const kD = "12-nightly-260310093000.log";
const char* const kE = "13-5-1-260312-0000000000.log";
const char* const kF = "12-7-1-260312-0000000000.log";

struct Cfg {
  XoltLogCfg cfg{};
  Cfg(std::uint32_t product, std::uint32_t originator, const char* logset = nullptr) {
    init_config(LibraryLockGuard("test"), &cfg, product, originator, logset);
  }
  ~Cfg() { xoltLogFreeCfg(&cfg); }
};

std::string record(std::int64_t ms, const std::string& text, bool logset = false) {
  return (logset ? "2,3,1," : "2,12,3,3,1,") + std::to_string(ms) + ",100,200,0:," +
         std::to_string(text.size()) + ":" + text + ",3:svc,0,(0|)\n";
}

std::vector<std::string> sorted_names(const std::string& listing) {
  std::vector<std::string> names;
  std::istringstream lines(listing);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t slash = line.rfind('/');
    if (slash != std::string::npos) names.push_back(line.substr(slash + 1));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> names(std::vector<std::string> list) {
  std::sort(list.begin(), list.end());
  return list;
}

enum class Backend { kFile, kRegistry };

class ToolFiles : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    chmod(root_.path().c_str(), 0755);
    fs::create_directories(logs_);
    fs::create_directories(logs13_);
    setenv("XOLTLOG_REGISTRY_ROOT", root_.path().c_str(), 1);
    if (file_store()) {
      setenv("XOLTLOG_CFG_LOC", store_.c_str(), 1);
      env_.emplace_back("XOLTLOG_CFG_LOC", store_);
    } else {
      unsetenv("XOLTLOG_CFG_LOC");
      env_.emplace_back("XOLTLOG_CFG_LOC", std::nullopt);
    }
    env_.emplace_back("XOLTLOG_REGISTRY_ROOT", root_.path());
    env_.emplace_back("TZ", "UTC");
    forget_store_location();
    configure();
    write_files();
  }
  void TearDown() override {
    unsetenv("XOLTLOG_REGISTRY_ROOT");
    unsetenv("XOLTLOG_CFG_LOC");
    forget_store_location();
  }

  bool file_store() const { return GetParam() == Backend::kFile; }
  std::string product_location(const char* name) const {
    return file_store() ? root_.file(std::string(name) + ".conf")
                        : std::string("SOFTWARE\\Test\\") + name;
  }

  void configure() {
    ASSERT_EQ(xoltLogAddProductCfg(12, "p12", product_location("p12").c_str()), 0u);
    ASSERT_EQ(xoltLogAddProductCfg(13, "p13", product_location("p13").c_str()), 0u);
    Cfg defaults(12, XOLTLOG_DEFAULT_ORIGINATOR);
    xoltLogCfgSetDirectory(&defaults.cfg, (logs_ + "/").c_str(), nullptr);
    xoltLogCfgSetNumberOfLogFiles(&defaults.cfg, 2);
    ASSERT_EQ(xoltLogWriteCfg(12, XOLTLOG_DEFAULT_ORIGINATOR, &defaults.cfg), 0u);
    Cfg worker(12, 3);
    std::strcpy(worker.cfg.originator_names, "worker");
    worker.cfg.change_mask |= XOLTLOG_CFG_MASK_OID_NAMES;
    xoltLogCfgSetDebugLevel(&worker.cfg, 2);
    ASSERT_EQ(xoltLogWriteCfg(12, 3, &worker.cfg), 0u);
    Cfg nightly(12, 0, "nightly");
    xoltLogCfgSetDirectory(&nightly.cfg, (logs_ + "/").c_str(), nullptr);
    ASSERT_EQ(xoltLogWritelogSetCfg(12, "nightly", &nightly.cfg), 0u);
    Cfg other(13, XOLTLOG_DEFAULT_ORIGINATOR);
    xoltLogCfgSetDirectory(&other.cfg, (logs13_ + "/").c_str(), nullptr);
    ASSERT_EQ(xoltLogWriteCfg(13, XOLTLOG_DEFAULT_ORIGINATOR, &other.cfg), 0u);
  }

  void write(const std::string& path, const std::string& content) const {
    std::ofstream(path, std::ios::binary) << content;
  }

  void write_files() const {
    const std::string header = "$Header 65543,12,3,1773136800,-3600,";
    write(logs_ + "/" + kA, header + "alpha\n" + record(1773136800123, "one") +
                                record(1773137000456, "two"));
    write(logs_ + "/" + kB, header + "alpha\n" + record(1773223200000, "three"));
    write(logs_ + "/" + kC, header + "beta\n" + record(1773309600000, "four") +
                                record(1773309601500, "five") +
                                record(1773309602250, std::string(70000, 'x')) +
                                "2,12,3,3,9,177331");
    write(logs_ + "/" + kD, "$Header 65544,-3600,beta\n" + record(1773135000000, "ok", true));
    const utimbuf march10{kMarch10, kMarch10};
    utime((logs_ + "/" + kD).c_str(), &march10);
    write(logs13_ + "/" + kE, "$Header 65543,13,5,1773309600,0,gamma\n");
    write(logs_ + "/" + kF, "$Header 65543,12,7,1773309600,0,delta\n" + record(1773309600000, "f"));
  }

  ToolRun tool(std::vector<std::string> args, std::optional<uid_t> user = std::nullopt) const {
    return run_tool(args, env_, {}, user);
  }

  std::vector<std::string> listed(const std::vector<std::string>& args) const {
    const ToolRun run = tool(args);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    return sorted_names(run.out);
  }

  TempDir root_;
  std::string store_ = root_.file("x.conf");
  std::string logs_ = root_.file("logs");
  std::string logs13_ = root_.file("logs13");
  ToolEnv env_;
};

INSTANTIATE_TEST_SUITE_P(Store, ToolFiles, ::testing::Values(Backend::kFile, Backend::kRegistry),
                         [](const auto& param_info) {
                           return param_info.param == Backend::kFile ? "StoreFile" : "Registry";
                         });

TEST_P(ToolFiles, SelectionsAndQueriesOnEveryFileField) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> files;
  };
  const Case cases[] = {
      {{}, {kA, kB, kC, kD, kE, kF}},
      {{"--product", "p12", "--originator", "worker"}, {kA, kB, kC}},
      {{"--product", "12", "--logset", "nightly"}, {kD}},
      {{"--product", "p13"}, {kE}},
      {{"--where", "product = p12"}, {kA, kB, kC, kD, kF}},
      {{"--where", "product = 13 or host = beta"}, {kC, kD, kE}},
      {{"--where", "host ~ /^(alpha|gamma)$/"}, {kA, kB, kE}},
      {{"--where", "logset = nightly"}, {kD}},
      {{"--where", "not logset = nightly and product = 12"}, {kA, kB, kC, kF}},
      {{"--where", "originator = worker"}, {kA, kB, kC}},
      {{"--where", "time < \"2026-03-11 00:00Z\""}, {kD}},
      {{"--where", "start >= 2026-06-01 and product != 13"}, {kA, kB, kC, kF}},
      {{"--where", "(host = alpha or host = delta) and not originator = 3"}, {kF}},
      {{"--product", "p12", "--where", "host = gamma"}, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"files"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(::testing::PrintToString(args));
    EXPECT_EQ(listed(args), names(c.files));
  }
}

TEST_P(ToolFiles, HeaderDataAndRecordTimesAsTableAndJson) {
  const ToolRun table = tool({"files", "--where", "logset = nightly or host = beta"});
  ASSERT_EQ(table.exit_code, 0) << table.err;
  EXPECT_EQ(table.out.rfind("CREATED ", 0), 0u) << table.out;
  // The logset file was started at 09:30 on its writer's clock, an hour
  // east of UTC.
  EXPECT_EQ(table.out.find("\n2026-03-10 08:30:00 +0000  "), table.out.find('\n')) << table.out;
  EXPECT_NE(table.out.find("2026-03-10 09:30:00.000 +0000  2026-03-10 09:30:00.000 +0000  beta"),
            std::string::npos);

  const ToolRun json = tool({"files", "--product", "12", "--originator", "3", "--where",
                             "host = beta", "--json"});
  ASSERT_EQ(json.exit_code, 0) << json.err;
  const nlohmann::json files = nlohmann::json::parse(json.out);
  ASSERT_EQ(files.size(), 1u);
  const nlohmann::json& c = files[0];
  EXPECT_EQ(c["path"], logs_ + "/" + kC);
  EXPECT_EQ(c["host"], "beta");
  EXPECT_EQ(c["product"], 12);
  EXPECT_EQ(c["originator"], 3);
  EXPECT_TRUE(c["logset"].is_null());
  EXPECT_EQ(c["header_version"], XOLTLOG_HEADER_VERSION);
  EXPECT_EQ(c["created"], "2026-03-10T10:00:00+00:00");
  EXPECT_EQ(c["tz_offset"], -3600);
  EXPECT_EQ(c["size"], fs::file_size(logs_ + "/" + kC));
  EXPECT_EQ(c["first_record"], "2026-03-12T10:00:00.000+00:00");
  // The last complete record is longer than the tail the tool reads, and
  // the incomplete line after it is not a record yet.
  EXPECT_EQ(c["last_record"], "2026-03-12T10:00:02.250+00:00");
}

TEST_P(ToolFiles, BadQueriesPointAtTheirColumn) {
  struct Case {
    const char* where;
    int code;
    std::size_t column;
  };
  const Case cases[] = {
      {"product = ", 3, 11},
      {"host < alpha", 3, 6},
      {"kind = app", 3, 1},
      {"product = nosuch", 4, 11},
      {"host = 'beta", 3, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    const ToolRun run = tool({"files", "--where", c.where});
    EXPECT_EQ(run.exit_code, c.code);
    EXPECT_NE(run.err.find("column " + std::to_string(c.column) + ":"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("\n    " + std::string(c.column - 1, ' ') + "^\n"), std::string::npos)
        << run.err;
    EXPECT_TRUE(run.out.empty());
  }
}

TEST_P(ToolFiles, CopyDryRunThenForRealWithoutOverwriting) {
  const std::string to = root_.file("copies");
  fs::create_directories(to);
  const std::vector<std::string> copy{"copy", "--to", to + "/", "--product", "p12",
                                      "--originator", "worker", "--where", "host = alpha"};
  std::vector<std::string> dry = copy;
  dry.push_back("--dry-run");
  const ToolRun planned = tool(dry);
  EXPECT_EQ(planned.exit_code, 0) << planned.err;
  EXPECT_EQ(sorted_names(planned.out), names({kA, kB}));
  EXPECT_TRUE(fs::is_empty(to));

  const ToolRun done = tool(copy);
  EXPECT_EQ(done.exit_code, 0) << done.err;
  EXPECT_EQ(sorted_names(done.out), names({kA, kB}));
  for (const char* name : {kA, kB}) {
    EXPECT_EQ(read_file(to + "/" + name), read_file(logs_ + "/" + name)) << name;
  }
  write(to + "/" + kA, "mine");
  EXPECT_EQ(tool(copy).exit_code, 5);
  EXPECT_EQ(read_file(to + "/" + kA), "mine");
  std::vector<std::string> overwrite = copy;
  overwrite.push_back("--overwrite");
  EXPECT_EQ(tool(overwrite).exit_code, 0);
  EXPECT_EQ(read_file(to + "/" + kA), read_file(logs_ + "/" + kA));
  EXPECT_EQ(tool({"copy", "--to", root_.file("missing"), "--product", "12"}).exit_code, 4);
}

TEST_P(ToolFiles, DeleteBySelectionAgeAndSurplus) {
  EXPECT_EQ(tool({"delete"}).exit_code, 2);
  const ToolRun aged = tool({"delete", "--product", "12", "--older-than", "30d", "--dry-run"});
  EXPECT_EQ(aged.exit_code, 0) << aged.err;
  EXPECT_EQ(sorted_names(aged.out), names({kD}));
  EXPECT_TRUE(fs::exists(logs_ + "/" + kD));

  // Originator 3 keeps two files: one of its three is surplus.
  const ToolRun surplus = tool({"delete", "--surplus", "--product", "12", "--originator", "3", "-n"});
  EXPECT_EQ(surplus.exit_code, 0) << surplus.err;
  ASSERT_EQ(sorted_names(surplus.out).size(), 1u) << surplus.out;
  const std::string oldest = sorted_names(surplus.out)[0];
  EXPECT_TRUE(oldest == kA || oldest == kB || oldest == kC) << oldest;
  EXPECT_EQ(tool({"delete", "--surplus", "--product", "12", "--originator", "3"}).exit_code, 0);
  EXPECT_FALSE(fs::exists(logs_ + "/" + oldest));

  const ToolRun gone = tool({"delete", "--where", "host = delta or product = 13"});
  EXPECT_EQ(gone.exit_code, 0) << gone.err;
  EXPECT_EQ(sorted_names(gone.out), names({kE, kF}));
  EXPECT_FALSE(fs::exists(logs_ + "/" + kF));
  EXPECT_FALSE(fs::exists(logs13_ + "/" + kE));
  EXPECT_TRUE(fs::exists(logs_ + "/" + kD));
  EXPECT_EQ(tool({"delete", "--older-than", "soon"}).exit_code, 3);
}

TEST_P(ToolFiles, UnreadableAndDamagedFilesAreListedAndReported) {
  const std::string damaged = "12-3-1-260313-0000000000.log";
  write(logs_ + "/" + damaged, "not a header\n");
  const ToolRun run = tool({"files", "--product", "12", "--originator", "3"});
  EXPECT_EQ(run.exit_code, 7);
  EXPECT_EQ(sorted_names(run.out), names({kA, kB, kC, damaged}));
  EXPECT_NE(run.err.find(damaged + ": no header line"), std::string::npos) << run.err;

  // Another user may read the store and the directory, but not this file.
  for (const auto& entry : fs::recursive_directory_iterator(root_.path())) {
    fs::permissions(entry.path(), fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::add);
  }
  fs::remove(logs_ + "/" + damaged);
  chmod((logs_ + "/" + kB).c_str(), 0);
  const ToolRun other = tool({"files", "--product", "12", "--originator", "3"}, kOtherUser);
  EXPECT_EQ(other.exit_code, 7) << other.err;
  EXPECT_EQ(sorted_names(other.out), names({kA, kB, kC}));
  EXPECT_NE(other.err.find(std::string(kB) + ": cannot be opened: Permission denied"),
            std::string::npos)
      << other.err;
}

TEST_P(ToolFiles, MissingStoreOrProduct) {
  const ToolRun store = tool({"--store", root_.file("none.conf"), "files"});
  EXPECT_EQ(store.exit_code, 6) << store.err;
  EXPECT_NE(store.err.find("none.conf"), std::string::npos) << store.err;
  EXPECT_EQ(tool({"files", "--product", "99"}).exit_code, 4);
  EXPECT_EQ(tool({"files", "--product", "12", "--logset", "weekly"}).exit_code, 4);
  EXPECT_EQ(tool({"files", "--originator", "3"}).exit_code, 2);
}

}  // namespace
}  // namespace xoltlog::test
