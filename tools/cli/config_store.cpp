#include "cli/config_store.h"

#include <algorithm>
#include <cctype>
#include <cerrno>

#include <unistd.h>

#include "cli/tool_error.h"
#include "xoltlog/config_read.h"
#include "xoltlog/file_list.h"
#include "xoltlog/frame.h"
#include "xoltlog/query.h"

namespace xoltlog::tool {
namespace {

constexpr std::uint64_t kFirstCapacity = 64;
constexpr std::uint64_t kMostRecords = 1u << 20;

std::string store_text() { return GetXoltLogCfgLoc(); }

}  // namespace

std::string products_hint() {
  return "'xoltlog config list' shows the registered products, their originators and logsets";
}

std::optional<std::uint32_t> parse_id(const std::string& text) {
  if (text.empty() || text.size() > 10 ||
      !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); })) {
    return std::nullopt;
  }
  const unsigned long long value = std::stoull(text);
  if (value == 0 || value > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::uint32_t originator_in(const std::vector<XoltLogCfg*>& records, const std::string& text) {
  std::string word = text;
  std::transform(word.begin(), word.end(), word.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (word == "default") return XOLTLOG_DEFAULT_ORIGINATOR;
  if (const auto id = parse_id(text)) return *id;
  return GetIdFromName(records.data(), static_cast<std::uint32_t>(records.size()),
                       XOLTLOG_QUERY_ORIGINATOR, text.c_str());
}

std::string store_hint() {
  const std::string store = GetXoltLogCfgLoc();
  if (is_store_file(store) && (::access(store.c_str(), F_OK) == 0 || errno == EACCES)) {
    // It is there, or this user may not even look: what stands in the way
    // is who may read or change it.
    return "check the permission to reach and read the store file, and to write it and its "
           "directory for a change (run as its owner)";
  }
  if (is_store_file(store)) {
    return "name an existing store file with --store or XOLTLOG_CFG_LOC, or create one with "
           "'xoltlog config register'";
  }
  return "the registry lives below $XOLTLOG_REGISTRY_ROOT (else /var/lib/xoltlog/registry), "
         "which must exist; 'xoltlog config register' creates the store there";
}

RecordArray::~RecordArray() {
  FreeConfigArray(records_.data(), static_cast<std::uint32_t>(records_.size()));
}

void RecordArray::read(std::uint32_t product) {
  for (std::uint64_t capacity = kFirstCapacity; capacity <= kMostRecords; capacity *= 2) {
    FreeConfigArray(records_.data(), static_cast<std::uint32_t>(records_.size()));
    records_.assign(capacity, nullptr);
    std::uint64_t count = 0;
    const std::uint32_t result =
        product == 0 ? xoltLogReadAllCfg(nullptr, capacity, records_.data(), &count)
                     : xoltLogReadProdIDCfg(nullptr, product, capacity, records_.data(), &count);
    records_.resize(count);
    if (result == XOLTLOG_E_NO_CFG) return;
    check_result(result, ExitCode::kStore, "cannot read the configuration store " + store_text(),
                 store_hint());
    if (count < capacity) return;
  }
  throw ToolError(ExitCode::kStore, "the configuration store holds too many sections",
                  "remove the products no longer used with 'xoltlog config remove'");
}

void require_store() {
  XoltLogPropertyStore handle{};
  const std::uint32_t result = utiOpenPropertyStore(GetXoltLogCfgLoc(), "", &handle,
                                                    XOLTLOG_STORE_READ);
  utiClosePropertyStore(&handle);
  if (result != XOLTLOG_STORE_OK) {
    throw ToolError(ExitCode::kStore,
                    "the configuration store " + store_text() + " cannot be opened",
                    store_hint());
  }
}

std::uint32_t resolve_product(const std::string& text) {
  if (const auto id = parse_id(text)) return *id;
  RecordArray all;
  all.read();
  const std::uint32_t id =
      GetIdFromName(all.records().data(), static_cast<std::uint32_t>(all.records().size()),
                    XOLTLOG_QUERY_PRODUCT, text.c_str());
  if (id == 0) {
    throw ToolError(ExitCode::kNotFound, "no registered product is named \"" + text + "\"",
                    products_hint());
  }
  return id;
}

std::uint32_t resolve_originator(std::uint32_t product, const std::string& text) {
  RecordArray own;
  if (!parse_id(text)) own.read(product);
  const std::uint32_t id = originator_in(own.records(), text);
  if (id == 0) {
    throw ToolError(ExitCode::kNotFound,
                    "product " + std::to_string(product) + " has no originator named \"" + text +
                        "\"",
                    products_hint());
  }
  return id;
}

std::string product_location(std::uint32_t product) {
  char* path = nullptr;
  const std::uint32_t result = GetProductCfgPath(nullptr, product, &path);
  if (result == XOLTLOG_E_CFG_STORE) {
    throw ToolError(ExitCode::kNotFound,
                    "product " + std::to_string(product) + " is not registered in " + store_text(),
                    "register it with 'xoltlog config register " + std::to_string(product) +
                        " NAMES'; " + products_hint());
  }
  check_result(result, ExitCode::kStore,
               "cannot read the registration of product " + std::to_string(product),
               store_hint());
  std::string location(path);
  xoltLogFree(path);
  return location;
}

std::string SectionRef::label() const {
  if (logset) return IsDefaultLogSet(logset->c_str()) ? "Default logset" : "logset " + *logset;
  if (originator == XOLTLOG_DEFAULT_ORIGINATOR) return "Default section";
  return "originator " + std::to_string(originator);
}

bool is_store_file(const std::string& location) {
  return location.find(".conf") != std::string::npos;
}

RawSection::RawSection(const std::string& location, const SectionRef& section,
                       std::uint32_t mode) {
  std::string path = location;
  std::string name;
  if (section.logset) {
    const std::string logset = IsDefaultLogSet(section.logset->c_str()) ? "Default"
                                                                          : *section.logset;
    if (is_store_file(location)) {
      name = "LOGSET." + logset;
    } else {
      path += "\\LOGSET";
      name = logset;
    }
  } else {
    name = section.originator == XOLTLOG_DEFAULT_ORIGINATOR ? "Default"
                                                            : std::to_string(section.originator);
  }
  open_result_ = utiOpenPropertyStore(path.c_str(), name.c_str(), &handle_, mode);
  open_ = open_result_ == XOLTLOG_STORE_OK;
}

std::optional<std::string> RawSection::text(const char* key) {
  if (!open_) return std::nullopt;
  char* value = nullptr;
  if (utiGetPropertyAsStr(&handle_, key, &value) != XOLTLOG_STORE_OK) {
    xoltLogFree(value);
    return std::nullopt;
  }
  std::string copy(value);
  xoltLogFree(value);
  return copy;
}

std::uint32_t RawSection::remove(const char* key) {
  return open_ ? utiRemoveProperty(&handle_, key) : open_result_;
}

std::uint32_t RawSection::set_text(const char* key, const std::string& value) {
  return open_ ? utiSetPropertyAsStr(&handle_, key, value.c_str()) : open_result_;
}

}  // namespace xoltlog::tool
