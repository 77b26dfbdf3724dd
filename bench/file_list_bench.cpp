// Collecting log files from one directory of 1,000 or 10,000 files of 50
// products, with and without a query, and one recycling pass (surplus
// list, fetch, delete) after a rollover among them.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "config/record.h"
#include "config/store_layout.h"
#include "logfile/header_line.h"
#include "xoltlog/config_write.h"
#include "xoltlog/file_list.h"
#include "xoltlog/frame.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kProducts = 50;
constexpr std::uint32_t kFirstProduct = 10;
constexpr std::uint32_t kOriginator = 3;

std::string file_name(std::uint32_t product, std::uint32_t counter) {
  char name[64];
  std::snprintf(name, sizeof name, "%u-%u-1-261206-%010u.log", product, kOriginator, counter);
  return name;
}

// A log file as a writer leaves it: header and one record.
void write_log(const std::string& path, std::uint32_t product) {
  const XoltLogHeader header = xoltlog::make_header({product, kOriginator, false},
                                                    std::time(nullptr), 0, "benchhost");
  char line[xoltlog::kHeaderLineCapacity];
  std::string text(line, xoltlog::format_header_line(header, line));
  text += "record\n";
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    std::abort();
  }
  close(fd);
}

// One directory per size, made on first use and removed when the run
// ends. Each product keeps as many files as it has.
class LogDirectory {
 public:
  explicit LogDirectory(std::uint32_t files) {
    char pattern[] = "/tmp/xoltlog-list-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    root_ = pattern;
    logs_ = root_ + "/logs/";
    fs::create_directories(logs_);
    for (std::uint32_t i = 0; i < files; ++i) {
      const std::uint32_t product = kFirstProduct + i % kProducts;
      write_log(logs_ + file_name(product, i / kProducts + 1), product);
    }
    next_counter_ = files / kProducts + 1;
    for (std::uint32_t p = 0; p < kProducts; ++p) {
      records_.push_back(std::make_unique<XoltLogCfg>());
      xoltlog::init_config(xoltlog::LibraryLockGuard("bench"), records_.back().get(),
                           kFirstProduct + p, kOriginator, nullptr);
      xoltLogCfgSetDirectory(records_.back().get(), logs_.c_str(), nullptr);
      xoltLogCfgSetNumberOfLogFiles(records_.back().get(), files / kProducts);
      pointers_.push_back(records_.back().get());
    }
  }
  ~LogDirectory() {
    for (XoltLogCfg* record : pointers_) xoltLogFreeCfg(record);
    fs::remove_all(root_);
  }

  // Registers product 12's store with its record in the environment.
  void use_store() {
    if (registered_) return;
    registered_ = true;
    setenv("XOLTLOG_REGISTRY_ROOT", root_.c_str(), 1);
    setenv("XOLTLOG_CFG_LOC", (root_ + "/xoltlog.conf").c_str(), 1);
    xoltlog::forget_store_location();
    if (xoltLogAddProductCfg(12, "p12", (root_ + "/p12.conf").c_str()) != 0 ||
        xoltLogWriteCfg(12, kOriginator, pointers_[12 - kFirstProduct]) != 0) {
      std::abort();
    }
  }

  XoltLogCfg* const* records() const { return pointers_.data(); }
  std::uint32_t record_count() const { return static_cast<std::uint32_t>(pointers_.size()); }
  const std::string& logs() const { return logs_; }
  std::uint32_t next_counter() { return next_counter_++; }

 private:
  std::string root_;
  std::string logs_;
  std::vector<std::unique_ptr<XoltLogCfg>> records_;
  std::vector<XoltLogCfg*> pointers_;
  std::uint32_t next_counter_ = 0;
  bool registered_ = false;
};

LogDirectory& directory_of(std::int64_t files) {
  static std::map<std::int64_t, std::unique_ptr<LogDirectory>> made;
  std::unique_ptr<LogDirectory>& directory = made[files];
  if (!directory) directory = std::make_unique<LogDirectory>(static_cast<std::uint32_t>(files));
  return *directory;
}

std::size_t free_list(XoltLogFileList& list) {
  std::size_t count = 0;
  for (XoltLogFileEntry* entry = list.head; entry != nullptr; ++count) {
    XoltLogFileEntry* next = entry->next;
    xoltLogOs_close(&entry->file);
    xoltLogFree(entry);
    entry = next;
  }
  list.head = nullptr;
  return count;
}

// Every file of the 50 products' records (or of product 12's record
// alone), or with a query those of product 12 started within the last
// day. Each record lists the directory again.
void BM_GetLogFiles(benchmark::State& state) {
  LogDirectory& directory = directory_of(state.range(0));
  XoltLogQueryNode product{XOLTLOG_QUERY_FIELD, 0, {}, 0, nullptr, nullptr};
  product.value.number = XOLTLOG_QUERY_PRODUCT;
  XoltLogQueryNode twelve{XOLTLOG_QUERY_NUMBER, 0, {}, 0, nullptr, nullptr};
  twelve.value.number = 12;
  XoltLogQueryNode start{XOLTLOG_QUERY_FIELD, 0, {}, 0, nullptr, nullptr};
  start.value.number = XOLTLOG_QUERY_START_TIME;
  XoltLogQueryNode day_ago{XOLTLOG_QUERY_NUMBER, 0, {}, 0, nullptr, nullptr};
  day_ago.value.number = static_cast<std::uint32_t>(std::time(nullptr) - 86400);
  XoltLogQueryNode is_product{XOLTLOG_QUERY_EQUAL, 0, {}, 0, &product, &twelve};
  XoltLogQueryNode is_recent{XOLTLOG_QUERY_AT_LEAST, 0, {}, 0, &start, &day_ago};
  XoltLogQueryNode query{XOLTLOG_QUERY_AND, 0, {}, 0, &is_product, &is_recent};
  const bool filtered = state.range(1) != 0;
  const bool one_record = state.range(2) == 1;
  const auto files = static_cast<std::size_t>(state.range(0));
  const std::size_t expected = filtered || one_record ? files / kProducts : files;
  XoltLogCfg* const* records = directory.records() + (one_record ? 12 - kFirstProduct : 0);
  for (auto _ : state) {
    XoltLogFileList list{};
    list.query = filtered ? &query : nullptr;
    if (GetLogFiles(records, one_record ? 1 : directory.record_count(), &list) != 0 ||
        free_list(list) != expected) {
      state.SkipWithError("wrong file count");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GetLogFiles)
    ->ArgsProduct({{1000, 10000}, {0, 1}, {1, kProducts}})
    ->ArgNames({"files", "query", "records"})
    ->Unit(benchmark::kMillisecond);

// After a rollover made one more file of product 12 than it keeps: the
// surplus list, the fetch of its one file and the deletion.
void BM_RecyclingPass(benchmark::State& state) {
  LogDirectory& directory = directory_of(state.range(0));
  directory.use_store();
  for (auto _ : state) {
    state.PauseTiming();
    write_log(directory.logs() + file_name(12, directory.next_counter()), 12);
    state.ResumeTiming();
    XoltLogFileList list{};
    std::size_t deleted = 0;
    if (xoltLogGetManageableLogFiles(12, kOriginator, &list) == 0) {
      char* path = nullptr;
      while (xoltLogFetchNextFile(&list, &path) == 0) {
        xoltLogDeleteFile(path);
        xoltLogFreeBuffer(&path);
        ++deleted;
      }
    }
    free_list(list);
    if (deleted != 1) {
      state.SkipWithError("not one surplus file");
      break;
    }
  }
}
BENCHMARK(BM_RecyclingPass)
    ->Arg(1000)
    ->Arg(10000)
    ->ArgName("files")
    ->Unit(benchmark::kMillisecond);

}  // namespace
