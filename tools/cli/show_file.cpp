#include "cli/show_file.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace xoltlog::tool {
namespace {

std::string_view base_name(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Why path cannot be opened, in the system's words.
std::string open_problem(const std::string& path) {
  if (access(path.c_str(), R_OK) != 0) return std::strerror(errno);
  return "cannot be opened for reading";
}

}  // namespace

RecordFile::RecordFile(std::string path, std::string logset_name)
    : context_(std::make_unique<XoltLogFileContext>()), name_(base_name(path)) {
  xoltLogOs_init(context_.get());
  info_.path = std::move(path);
  info_.logset = std::move(logset_name);
  std::uint32_t originator = 0;
  char set_name[XOLTLOG_FIND_NAME_SIZE] = {};
  char date_time[13] = {};
  // A logset file named on the command line goes by its set file name.
  if (getidfromfilename(name_.c_str(), &info_.product, &originator) == 0 &&
      name_.size() < sizeof set_name &&
      getSLidfromfilename(name_.c_str(), &info_.product, set_name, date_time) != 0 &&
      info_.logset.empty()) {
    info_.logset = set_name;
  }
  if (xoltLogOs_open(context_.get(), info_.path.c_str(), 1, nullptr) != 0) {
    problem_ = open_problem(info_.path);
    return;
  }
  struct stat status {};
  if (stat(info_.path.c_str(), &status) == 0) device_ = status.st_dev, inode_ = status.st_ino;
  XoltLogHeader header{};
  const std::uint32_t result = ReadHeaderEx(context_.get(), &header);
  if (result == 48) {
    problem_ = "header of an unsupported version";
  } else if (result != 0) {
    header_missing_ = true;
    problem_ = "no log file header";
  }
  if (ok()) lines_ = std::make_unique<LineReader>(*context_);
  info_.host = header.host_name;
  info_.record_version = header.version;
  prepare_json_fields(info_);
}

RecordFile::~RecordFile() {
  release_record();
  lines_.reset();
  xoltLogOs_close(context_.get());
}

void RecordFile::release_record() {
  if (msg_filled_) xoltLogFreeMsg(&msg_);
  msg_filled_ = false;
}

RecordFile::Step RecordFile::next() {
  release_record();
  if (!ok()) return Step::kFailed;
  const LineReader::Result read = lines_->next(line_);
  if (read == LineReader::Result::kEnd) return Step::kEnd;
  if (read != LineReader::Result::kLine) return Step::kFailed;
  ++line_number_;
  if (!lines_->line_holds_nul() && scan_plain_record(line_, info_.record_version, view_)) {
    return Step::kRecord;
  }
  const std::uint32_t parsed =
      xoltLogMsgParse(line_.data(), line_.size(), info_.record_version, &msg_, &damage_);
  if (parsed == 4) throw std::bad_alloc();
  if (parsed != 0) {
    if (damage_.reason == nullptr) damage_.reason = "not a record line";
    return Step::kDamaged;
  }
  msg_.record_version = info_.record_version;
  msg_filled_ = true;
  view_ = view_of(msg_);
  return Step::kRecord;
}

std::string series_prefix(std::string_view name) {
  if (name.size() < 5 || name.substr(name.size() - 4) != ".log") return {};
  const auto dashes = std::count(name.begin(), name.end(), '-');
  const int keep = dashes == 4 ? 3 : dashes == 2 ? 2 : 0;
  std::size_t end = 0;
  for (int found = 0; found < keep; ++found) end = name.find('-', end) + 1;
  return keep == 0 ? std::string() : std::string(name.substr(0, end));
}

std::vector<std::string> newer_in_series(const std::string& directory, const std::string& prefix,
                                         const std::string& name) {
  std::vector<std::string> newer;
  std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(directory.empty() ? "." : directory.c_str()),
                                              closedir);
  if (!listing || prefix.empty()) return newer;
  for (const dirent* entry = readdir(listing.get()); entry != nullptr;
       entry = readdir(listing.get())) {
    const std::string_view candidate = entry->d_name;
    if (candidate.substr(0, prefix.size()) == prefix && candidate > name &&
        series_prefix(candidate) == prefix) {
      newer.emplace_back(candidate);
    }
  }
  std::sort(newer.begin(), newer.end());
  return newer;
}

}  // namespace xoltlog::tool
